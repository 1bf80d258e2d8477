#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/TFSplash.h"
#include "core/TFUsuario.h"
#include "core/TFprincipal.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "core/widgets/UiMensagens.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>

namespace {

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

} // namespace

int main(int argc, char** argv)
{
    // --novo-banco needs no display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--novo-banco" || a.startsWith("--novo-banco=")) {
            QCoreApplication app(argc, argv);
            QCommandLineParser p;
            QCommandLineOption novo(QStringLiteral("novo-banco"), QStringLiteral("Cria o banco de dados."),
                                    QStringLiteral("PATH"));
            QCommandLineOption pasta(QStringLiteral("pasta"), QStringLiteral("Pasta da instalação."),
                                     QStringLiteral("DIR"));
            p.addOption(novo);
            p.addOption(pasta);
            p.process(app);
            if (p.isSet(pasta))
                vx::DefinePastaInstalacao(p.value(pasta));
            vx::CarregaConfiguracao();
            return criaBanco(p.value(novo));
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vornex"));
    // The task bar shows the window title; a display name would be appended to every title.
    QCommandLineParser p;
    p.addHelpOption();
    QCommandLineOption pasta(QStringLiteral("pasta"), QStringLiteral("Pasta da instalação."), QStringLiteral("DIR"));
    QCommandLineOption novo(QStringLiteral("novo-banco"), QStringLiteral("Cria o banco de dados."), QStringLiteral("PATH"));
    p.addOption(pasta);
    p.addOption(novo);
    p.process(app);
    if (p.isSet(pasta))
        vx::DefinePastaInstalacao(p.value(pasta));
    vx::InstalaMensagensUi();

    int rc = 0;
    {
        auto splash = std::make_unique<vx::TFSplash>();
        splash->show();
        QCoreApplication::processEvents();

        splash->avanca();
        vx::TFprincipal principal;
        principal.FormCreate(); // configuration and working date

        splash->avanca();
        vx::TDMCUNE dm;
        const QString banco = vx::Geral::DATABASE();
        if (!dm.ConectaBanco(banco)) {
            splash.reset();
            vx::MostraErro(vx::TDMCUNE::MensagemFalhaConexao(banco), QStringLiteral("Erro"));
            vx::Conexao::finaliza();
            return 1;
        }
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
        principal.show();
        rc = app.exec();
    }
    vx::Conexao::finaliza();
    return rc;
}
