#include "reports/TFFilRelCadProfissionais.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UVariaveis.h"
#include "reports/RelCadastros.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(ProfissionaisConveniados1, [] { TFFilRelCadProfissionais::Abre(); });
VX_REGISTRA_TELA(EntidadesConveniadas1, [] { TFFilRelCadProfissionais::Abre(); });
VX_REGISTRA_TELA(EntidadesConveniadas2, [] { TFFilRelCadProfissionais::Abre(); });

namespace {
QString nomeEntidade(const QString& codigo)
{
    return CodigoVazio(codigo) ? QString()
                               : NomeLivre(codigo.trimmed(), QStringLiteral("codigo"), QStringLiteral("RazaoSocial"),
                                           QStringLiteral("Entidades"));
}
} // namespace

TFFilRelCadProfissionais::TFFilRelCadProfissionais(QWidget* parent)
    : TFFiltroRelatorio("TFFilRelCadProfissionais", QStringLiteral("Relatório do Cadastro de Profissionais"), parent)
{
    m_corpo->addLayout(m_form.novoForm());
    const auto ent = m_form.codigo(
        "PECodEntidade", QStringLiteral("Entidade:"), 7, "LNomeEntidade",
        [] { return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("RazaoSocial"), QStringLiteral("Entidades")); },
        nomeEntidade);
    PECodEntidade = ent.campo;
    SBCodEntidade = ent.busca;
    LNomeEntidade = ent.nome;
    m_form.fechaLinha();

    std::tie(RBCodigo, RBNome) = ordemCodigoNome();

    m_corpo->addLayout(m_form.novoForm());
    CBExibirProcedimentos = m_form.marca("CBExibirProcedimentos", QStringLiteral("Exibir Procedimentos"));
    CBExibirExcluidos = m_form.marca("CBExibirExcluidos", QStringLiteral("Exibir Excluídos"), Formulario::MesmaLinha);
    CBExibirOcultos = m_form.marca("CBExibirOcultos", QStringLiteral("Exibir Ocultos"), Formulario::MesmaLinha);
    m_form.fechaLinha();

    // An entity or a professional lists only its own entity.
    m_entidadeFixa = EhPrestador();
    if (Transacao* tr = transacaoLeitura(); tr && m_entidadeFixa) {
        const QString fixa = Lendo(*tr, [&] { return EntidadeDaInstalacao(*tr); });
        PECodEntidade->setText(fixa);
        LNomeEntidade->setText(nomeEntidade(fixa));
    }
    PECodEntidade->setEnabled(!m_entidadeFixa);
    SBCodEntidade->setEnabled(!m_entidadeFixa);
    resize(520, 150);
}

TFFilRelCadProfissionais* TFFilRelCadProfissionais::Abre()
{
    TFFilRelCadProfissionais* t = MostraTela<TFFilRelCadProfissionais>();
    if (t->PECodEntidade->isEnabled())
        t->PECodEntidade->setFocus();
    else
        t->RBCodigo->setFocus();
    return t;
}

FiltroCadProfissionais TFFilRelCadProfissionais::filtro() const
{
    FiltroCadProfissionais f;
    f.entidade = PECodEntidade->text().trimmed();
    // A professional linked to no entity lists nothing, not every entity.
    if (m_entidadeFixa && CodigoVazio(f.entidade))
        f.entidade = QStringLiteral("-1");
    f.porNome = RBNome->isChecked();
    f.procedimentos = CBExibirProcedimentos->isChecked();
    f.excluidos = CBExibirExcluidos->isChecked();
    f.ocultos = CBExibirOcultos->isChecked();
    return f;
}

std::shared_ptr<rel::Documento> TFFilRelCadProfissionais::gera(Transacao& tr) { return TRCadProfissionais::Gera(tr, filtro()); }

QString TFFilRelCadProfissionais::tituloPreview() const { return TRCadProfissionais::Titulo(); }

} // namespace vx
