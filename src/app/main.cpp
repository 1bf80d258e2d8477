#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vornex"));
    QApplication::setApplicationDisplayName(QStringLiteral("VORNEX"));
    QCommandLineParser p;
    p.addHelpOption();
    QCommandLineOption pasta(QStringLiteral("pasta"), QStringLiteral("Pasta da instalação."), QStringLiteral("DIR"));
    p.addOption(pasta);
    p.process(app);
    if (p.isSet(pasta))
        vx::DefinePastaInstalacao(p.value(pasta));
    vx::CarregaConfiguracao();
    vx::CalculaDataAtual(vx::Geral::NTP());
    vx::TDMCUNE dm;
    if (!dm.ConectaBanco(vx::Geral::DATABASE())) {
        QMessageBox::critical(nullptr, QStringLiteral("Erro"), vx::TDMCUNE::MensagemFalhaConexao(vx::Geral::DATABASE()));
        return 1;
    }
    return 0;
}
