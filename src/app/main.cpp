#include "core/Aplicacao.h"
#include "core/Configuracao.h"
#include "core/Encerramento.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/TFSplash.h"
#include "core/TarefaSemJanela.h"
#include "core/TFUsuario.h"
#include "core/TFprincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "exchange/RecepcaoBase.h"
#include "exchange/RecepcaoRealizacoes.h"
#include "municipality/Transmissao.h"
#include "core/widgets/UiMensagens.h"

#include <QApplication>
#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// The program's options. --help, --version, --novo-banco and the unattended jobs need no display.
struct Opcoes {
    QCommandLineParser p;
    QCommandLineOption ajuda{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Mostra estas opções.")};
    QCommandLineOption versao{{QStringLiteral("v"), QStringLiteral("version")},
                              QStringLiteral("Mostra a versão do programa.")};
    QCommandLineOption pasta{QStringLiteral("pasta"), QStringLiteral("Pasta da instalação."), QStringLiteral("DIR")};
    QCommandLineOption novo{QStringLiteral("novo-banco"), QStringLiteral("Cria o banco de dados e sai."),
                            QStringLiteral("PATH")};
    QCommandLineOption transmitir{QStringLiteral("transmitir"),
                                  QStringLiteral("Envia os arquivos pendentes e confere as autorizações no servidor, sem janela "
                                                 "(saída 0: tudo enviado; 1: algo não foi enviado; 2: não foi possível executar).")};
    QCommandLineOption receber{QStringLiteral("receber"),
                               QStringLiteral("Recebe os lançamentos realizados do período no servidor, sem janela "
                                              "(saída 0: tudo recebido; 1: algo ficou para a próxima vez; 2: não foi "
                                              "possível executar).")};
    QCommandLineOption enviarBase{QStringLiteral("enviar-base"),
                                  QStringLiteral("Gera e envia ao servidor a base cadastral e as glosas (consórcio), sem "
                                                 "janela (saída 0: os dois arquivos enviados; 1: algum não foi enviado; 2: "
                                                 "não foi possível executar).")};
    QCommandLineOption receberBase{QStringLiteral("receber-base"),
                                   QStringLiteral("Recebe a base cadastral (municípios e prestadores; os prestadores também "
                                                  "as glosas e as autorizações), sem janela (saída 0: tudo recebido; 1: algo "
                                                  "ficou para a próxima vez; 2: não foi possível executar).")};
    QCommandLineOption periodo{QStringLiteral("periodo"),
                               QStringLiteral("Período da recepção (padrão: o calendário selecionado no perfil CUNE, "
                                              "senão o mês da data atual)."),
                               QStringLiteral("MM/AAAA")};

    Opcoes()
    {
        p.setApplicationDescription(QStringLiteral("VORNEX ") + QLatin1String(vx::VersaoPrograma));
        p.addOptions({ajuda, versao, pasta, novo, transmitir, receber, enviarBase, receberBase, periodo});
    }
    bool semJanela() const
    {
        return p.isSet(ajuda) || p.isSet(versao) || p.isSet(novo) || p.isSet(transmitir) || p.isSet(receber) ||
               p.isSet(enviarBase) || p.isSet(receberBase);
    }
};

// Creates a database and brings it to the current schema, without any window.
int criaBanco(const QString& caminho)
{
    try {
        const QString versao = vx::CriaBancoNovo(caminho);
        std::printf("%s\n", qPrintable(versao));
        vx::Conexao::finaliza();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        vx::Conexao::finaliza();
        return 1;
    }
}

int executaSemJanela(const Opcoes& o)
{
    if (o.p.isSet(o.ajuda)) {
        std::fputs(qPrintable(o.p.helpText()), stdout);
        return 0;
    }
    if (o.p.isSet(o.versao)) {
        std::printf("VORNEX %s\n", vx::VersaoPrograma);
        return 0;
    }
    if (o.p.isSet(o.transmitir))
        return vx::ExecutaTarefaSemJanela(o.p.value(o.pasta), vx::TransmiteSemJanela);
    if (o.p.isSet(o.receber)) {
        const QString periodo = o.p.isSet(o.periodo) ? o.p.value(o.periodo) : QString();
        return vx::ExecutaTarefaSemJanela(o.p.value(o.pasta), [periodo](vx::TDMCUNE& dm, QTextStream& saida) {
            return vx::RecebeSemJanela(dm, saida, periodo);
        });
    }
    if (o.p.isSet(o.enviarBase))
        return vx::ExecutaTarefaSemJanela(o.p.value(o.pasta), vx::EnviaBaseSemJanela);
    if (o.p.isSet(o.receberBase))
        return vx::ExecutaTarefaSemJanela(o.p.value(o.pasta), vx::RecebeBaseSemJanela);
    if (o.p.isSet(o.pasta))
        vx::DefinePastaInstalacao(o.p.value(o.pasta));
    try {
        vx::CarregaConfiguracao();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return criaBanco(o.p.value(o.novo));
}

} // namespace

int main(int argc, char** argv)
{
    // The command line is read before any window exists. Qt's own options (-platform, -style…)
    // are known only to QApplication: a line with them goes on to the windows unless it asks
    // for something that needs none.
    {
        QStringList args;
        for (int i = 0; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        Opcoes o;
        const bool lida = o.p.parse(args);
        if (lida && o.semJanela()) {
            QCoreApplication app(argc, argv);
            return executaSemJanela(o);
        }
        if (!lida && std::any_of(args.cbegin() + 1, args.cend(), [](const QString& a) {
                return a == QLatin1String("-h") || a == QLatin1String("--help") || a == QLatin1String("-v") ||
                       a == QLatin1String("--version") || a.startsWith(QLatin1String("--novo-banco")) ||
                       a == QLatin1String("--transmitir") || a == QLatin1String("--receber") ||
                       a == QLatin1String("--enviar-base") || a == QLatin1String("--receber-base");
            })) {
            std::fprintf(stderr, "%s\n", qPrintable(o.p.errorText()));
            return 1;
        }
    }

    QApplication app(argc, argv);
    vx::ConfiguraAplicacao();
    // Ctrl+C, SIGTERM, SIGHUP: every event loop ends, then the windows, the transactions (rolled
    // back) and the connection close below.
    vx::InstalaEncerramentoPorSinal();
    Opcoes o;
    o.p.process(app); // unknown options end here
    if (o.p.isSet(o.enviarBase))
        return vx::ExecutaTarefaSemJanela(o.p.value(o.pasta), vx::EnviaBaseSemJanela);
    if (o.p.isSet(o.receberBase))
        return vx::ExecutaTarefaSemJanela(o.p.value(o.pasta), vx::RecebeBaseSemJanela);
    if (o.p.isSet(o.pasta))
        vx::DefinePastaInstalacao(o.p.value(o.pasta));
    vx::InstalaMensagensUi();

    int rc = 0;
    {
        auto splash = std::make_unique<vx::TFSplash>();
        splash->show();
        QCoreApplication::processEvents();

        splash->avanca();
        vx::TFprincipal principal;
        try {
            principal.FormCreate(); // configuration and working date
        } catch (const std::exception& e) {
            splash.reset();
            vx::MostraExcecao(e);
            vx::Conexao::finaliza();
            return 1;
        }

        splash->avanca();
        vx::TDMCUNE dm;
        const QString banco = vx::Geral::DATABASE();
        if (!dm.ConectaBanco(banco)) {
            splash.reset();
            vx::MostraErro(dm.MensagemFalha(), QStringLiteral("Erro"));
            vx::Conexao::finaliza();
            return 1;
        }
        // The client library installed its signal handlers on attaching: ours go back in front.
        vx::InstalaEncerramentoPorSinal();
        splash->avanca();
        vx::FProcura();
        splash->avanca();
        vx::TFUsuario login(&principal, &principal);
        principal.setDialogoLogin(&login);
        // Limits report filter, professional-procedures dialog, care units and block reasons:
        // created by their own modules on first use.
        for (int i = 0; i < 4; ++i)
            splash->avanca();
        splash->avanca();
        splash->hide();
        splash.reset();

        QObject::connect(&principal, &vx::TFprincipal::fechada, &app, &QApplication::quit, Qt::QueuedConnection);
        principal.setExecutaFormShowAoMostrar(true);
        if (!vx::SinalDeEncerramento()) {
            principal.show();
            rc = app.exec();
        }
        if (vx::SinalDeEncerramento())
            rc = vx::StatusDeEncerramento();
    }
    vx::Conexao::finaliza();
    return rc;
}
