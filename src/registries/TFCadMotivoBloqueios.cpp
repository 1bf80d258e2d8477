#include "registries/TFCadMotivoBloqueios.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/widgets/TPersonBtn.h"
#include "registries/MotivoBloqueios.h"

namespace vx {

VX_REGISTRA_TELA(MotivosdeBloqueio1, [] { TFCadMotivoBloqueios::Abre(); });

TFCadMotivoBloqueios::TFCadMotivoBloqueios(QWidget* parent)
    : TFCadastro("TFCadMotivoBloqueios", QStringLiteral("Tabela de Motivos para Bloqueio de Autorizações"),
                 QStringLiteral("MOTIVOBLOQUEIOS"), {}, parent)
{
    novoCampoCodigo(7, [this] { SBCodigoClick(); });
    m_descricao = novoCampo("PEDescricao", TPersonEdit::peTexto, QStringLiteral("Descricao:"), 100, Requerido);
    liga(m_descricao, QStringLiteral("DESCRICAO"));
    concluiTela();
}

TFCadMotivoBloqueios* TFCadMotivoBloqueios::Abre()
{
    return MostraTela<TFCadMotivoBloqueios>();
}

void TFCadMotivoBloqueios::SBCodigoClick()
{
    const QString c = ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("descricao"), QStringLiteral("motivobloqueios"));
    if (c.isEmpty())
        return;
    PECodigo()->setText(c);
    PECodigoExit();
}

void TFCadMotivoBloqueios::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const bool novo = modo() == QLatin1String("i");
    acaoRegistro(PBtnGravar(), [&] { GravaMotivoBloqueio(dm->IBTransaction, PECodigo()->text(), m_descricao->text(), novo); },
                 true);
}

void TFCadMotivoBloqueios::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !confirmaExclusao(QStringLiteral("Deseja realmente Excluir?\nClique em Sim para apagar.")))
        return;
    if (modo() != QLatin1String("u"))
        return;
    acaoRegistro(PBtnExcluir(), [&] { ExcluiMotivoBloqueio(dm->IBTransaction, PECodigo()->text(), m_descricao->text()); },
                 true);
}

} // namespace vx
