#include "reports/TFFilRelCadProcedimentos.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "reports/TRCadProcedimentos.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(ProcedimentosCadastrados1, [] { TFFilRelCadProcedimentos::Abre(); });

TFFilRelCadProcedimentos::TFFilRelCadProcedimentos(QWidget* parent)
    : TFFiltroRelatorio("TFFilRelCadProcedimentos", QStringLiteral("Relatório de Procedimentos"), parent)
{
    m_corpo->addLayout(m_form.novoForm());
    const auto g = m_form.codigo(
        "PECodGrupo", QStringLiteral("Grupo:"), 7, "LNomeGrupo",
        [] { return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("GruposProced")); },
        [](const QString& c) {
            return CodigoVazio(c)
                       ? QString()
                       : NomeLivre(c.trimmed(), QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("GruposProced"));
        });
    PECodGrupo = g.campo;
    SBCodGrupo = g.busca;
    LNomeGrupo = g.nome;
    m_form.fechaLinha();
    resize(460, 90);
}

TFFilRelCadProcedimentos* TFFilRelCadProcedimentos::Abre()
{
    TFFilRelCadProcedimentos* t = MostraTela<TFFilRelCadProcedimentos>();
    t->PECodGrupo->setFocus();
    return t;
}

std::shared_ptr<rel::Documento> TFFilRelCadProcedimentos::gera(Transacao& tr)
{
    return TRCadProcedimentos::Gera(tr, PECodGrupo->text());
}

QString TFFilRelCadProcedimentos::tituloPreview() const { return TRCadProcedimentos::Titulo(); }

} // namespace vx
