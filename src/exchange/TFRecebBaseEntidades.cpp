#include "exchange/TFRecebBaseEntidades.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/widgets/TPersonBtn.h"
#include "exchange/ImportacaoMensagens.h"
#include "exchange/UiRecepcaoBase.h"

#include <QTimer>

namespace vx {

namespace {
int g_esperaInicio = 1000;
void abre() { TFRecebBaseEntidades::AbreModal(); }
} // namespace

VX_REGISTRA_TELA(RecepodeBase1, abre);
VX_REGISTRA_TELA(TFRecebBaseEntidades, abre);

void TFRecebBaseEntidades::DefineEsperaInicio(int ms) { g_esperaInicio = ms; }

TFRecebBaseEntidades::TFRecebBaseEntidades(QWidget* parent)
    : TelaExecucao(QStringLiteral("TFRecebBaseEntidades"), QStringLiteral("Recepção de Bases Cadastrais"),
                   QStringLiteral("É de sua responsabilidade atualizar o cadastro de Entidades, Procedimentos e Valores "
                                  "conveniados, clicando no botão abaixo. É MUITO IMPORTANTE executar esta rotina ao "
                                  "menos uma vez por dia."),
                   QStringLiteral("Clique aqui para atualizar AGORA ou feche esta tela para atualizar mais tarde"), parent),
      m_erros(std::make_unique<LogErros>())
{
    connect(PBtnGravar(), &TPersonBtn::Acao, this, &TFRecebBaseEntidades::PBtnGravarClick);
}

TFRecebBaseEntidades::~TFRecebBaseEntidades() = default;

void TFRecebBaseEntidades::AbreModal()
{
    if (TFRecebBaseEntidades* aberta = InstanciaTela<TFRecebBaseEntidades>()) {
        if (aberta->rodando())
            return;
        aberta->close();
    }
    ExecutaTelaModal(CriaTela<TFRecebBaseEntidades>());
}

void TFRecebBaseEntidades::aoMostrar()
{
    QTimer::singleShot(g_esperaInicio, this, [this] {
        TDMCUNE* dm = DMCUNE();
        if (dm && !rodando() && RecepcaoBasePendente(*dm))
            PBtnGravarClick();
    });
}

void TFRecebBaseEntidades::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm) {
        MostraErro(QStringLiteral("Banco de dados não conectado"));
        return;
    }
    roda(QStringLiteral("Recebendo a base cadastral..."), [&] {
        m_resultado = RecebeBasePrestador(ContextoDaTela(*this, *dm), *m_erros);
    }, [this] { return m_resultado.terminou; });
}

} // namespace vx
