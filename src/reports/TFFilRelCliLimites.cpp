#include "reports/TFFilRelCliLimites.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UVariaveis.h"
#include "reports/TRCliLimites.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(LimitesFinanceirosporMunicpio1, [] { TFFilRelCliLimites::Abre(); });

TFFilRelCliLimites::TFFilRelCliLimites(QWidget* parent)
    : TFFiltroRelatorio("TFFilRelCliLimites", QStringLiteral("Relatório de Limites Financeiros"), parent)
{
    m_corpo->addLayout(m_form.novoForm());
    const auto m = m_form.codigo(
        "PECodMun", QStringLiteral("Município:"), 7, "LNomeMun",
        [] { return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Clientes")); },
        [](const QString& c) {
            return c.trimmed().isEmpty()
                       ? QString()
                       : NomeLivre(c.trimmed(), QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Clientes"));
        });
    PECodMun = m.campo;
    SBCodMun = m.busca;
    LNomeMun = m.nome;
    m_form.fechaLinha();
    PEAno = m_form.campo("PEAno", TPersonEdit::peInteiro, QStringLiteral("Ano:"), 4);
    m_form.fechaLinha();
    const QDate hoje = DataAtualDate().isValid() ? DataAtualDate() : QDate::currentDate();
    PEAno->setText(QString::number(hoje.year()));
    resize(460, 120);
}

TFFilRelCliLimites* TFFilRelCliLimites::Abre()
{
    TFFilRelCliLimites* t = MostraTela<TFFilRelCliLimites>();
    t->PECodMun->setFocus();
    return t;
}

std::shared_ptr<rel::Documento> TFFilRelCliLimites::gera(Transacao& tr)
{
    return TRCliLimites::Gera(tr, PECodMun->text(), int(PEAno->inteiro().value_or(0)));
}

QString TFFilRelCliLimites::tituloPreview() const { return TRCliLimites::Titulo(); }

} // namespace vx
