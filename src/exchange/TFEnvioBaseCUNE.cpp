#include "exchange/TFEnvioBaseCUNE.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/widgets/TPersonBtn.h"
#include "exchange/ftp/FtpCliente.h"

namespace vx {

VX_REGISTRA_TELA(EnviodeBaseparaMunicpiosEntidades1, [] { TFEnvioBaseCUNE::Abre(); });

TFEnvioBaseCUNE::TFEnvioBaseCUNE(QWidget* parent)
    : TelaExecucao(QStringLiteral("TFEnvioBaseCUNE"), QStringLiteral("Envio de Bases Cadastrais"),
                   QStringLiteral("Será enviado ao servidor ftp a base cadastral referente a Municípios, Tetos "
                                  "Financeiros, Entidades e Procedimentos"),
                   QStringLiteral("&Gera Arquivo e Transmite"), parent)
{
    connect(PBtnGravar(), &TPersonBtn::Acao, this, &TFEnvioBaseCUNE::PBtnGravarClick);
}

TFEnvioBaseCUNE* TFEnvioBaseCUNE::Abre()
{
    TFEnvioBaseCUNE* t = MostraTela<TFEnvioBaseCUNE>();
    t->PBtnGravar()->setFocus();
    return t;
}

void TFEnvioBaseCUNE::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm) {
        MostraErro(QStringLiteral("Banco de dados não conectado"));
        return;
    }
    roda(QStringLiteral("Enviando a base cadastral..."), [&] {
        m_resultado = EnviaBaseCadastral(dm->IBTransaction, ClienteFtpCompartilhado(),
                                         [this](const QString& l) { adicionaLinha(l); });
        ClienteFtpCompartilhado().desconecta();
    }, {});
}

} // namespace vx
