#include "municipality/TFRecebBaseMunicipios.h"
#include "core/Atualizacao.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/TFprincipal.h"
#include "core/UDMCune.h"
#include "core/widgets/TPersonBtn.h"
#include "exchange/UiRecepcaoBase.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vx {

namespace {
void abre() { TFRecebBaseMunicipios::Abre(); }
} // namespace

VX_REGISTRA_TELA(RecepoBaseCadastral1, abre);
VX_REGISTRA_TELA(TFRecebBaseMunicipios, abre);

TFRecebBaseMunicipios::TFRecebBaseMunicipios(QWidget* parent)
    : TelaExecucao(QStringLiteral("TFRecebBaseMunicipios"), QStringLiteral("Recepção de Bases Cadastrais"),
                   QStringLiteral("Será efetuada a atualização das informações referentes a Entidades, Profissionais e "
                                  "Procedimentos conveniados com o Consórcio."),
                   QStringLiteral("Clique para baixar arquivos"), parent)
{
    m_instalacao = new QLabel(this);
    m_instalacao->setObjectName(QStringLiteral("LInstalacao"));
    if (TFprincipal* p = TFprincipal::atual())
        m_instalacao->setText(p->LInstalacao()->text());
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, m_instalacao);
    connect(PBtnGravar(), &TPersonBtn::Acao, this, &TFRecebBaseMunicipios::PBtnGravarClick);
}

TFRecebBaseMunicipios* TFRecebBaseMunicipios::Abre()
{
    TFRecebBaseMunicipios* t = MostraTela<TFRecebBaseMunicipios>();
    t->PBtnGravar()->setFocus();
    return t;
}

void TFRecebBaseMunicipios::aoMostrar()
{
    TDMCUNE* dm = DMCUNE();
    if (dm && RecepcaoBasePendente(*dm))
        PBtnGravarClick();
}

void TFRecebBaseMunicipios::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm) {
        MostraErro(QStringLiteral("Banco de dados não conectado"));
        return;
    }
    roda(QStringLiteral("Recebendo a base cadastral..."), [&] {
        ContextoBase ctx = ContextoDaTela(*this, *dm);
        ctx.versaoBloqueada = [] {
            if (TFprincipal* p = TFprincipal::atual())
                p->BloqueiaVersao();
        };
        ctx.encerraPorAtraso = [](const QString& t) {
            PedidoMsg m;
            m.texto = t;
            m.icone = IconeMsg::Erro;
            MostraMensagem(m);
            PedeEncerramentoPrograma();
        };
        m_resultado = RecebeBaseMunicipio(ctx);
    }, [this] { return !m_resultado.encerrarPrograma; });
    if (m_resultado.concluida)
        fechaDepoisDeEsperar();
}

} // namespace vx
