#include "core/TFBackup.h"
#include "core/Backup.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/UiMensagens.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

namespace vx {

namespace {
QString& nomeComputador()
{
    static QString n = QSysInfo::machineHostName();
    return n;
}
void abre() { TFBackup::Abre(); }
} // namespace

VX_REGISTRA_TELA(TFBackup, abre);

void TFBackup::DefineNomeComputador(const QString& nome) { nomeComputador() = nome; }

TFBackup::TFBackup(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFBackup"));
    setWindowTitle(QStringLiteral("Backup do Sistema"));
    setFechaAoPerderFoco(false);
    resize(620, 460);
    auto* v = new QVBoxLayout(this);
    auto* atencao = new QLabel(QStringLiteral("ATENÇÃO!!! Computadores estão sujeito a falhas."), this);
    atencao->setStyleSheet(QStringLiteral("color: #C00000; font-weight: bold; font-size: 14pt;"));
    v->addWidget(atencao);
    auto* texto = new QLabel(QStringLiteral("Para sua segurança, faça cópias dos seus dados PELO MENOS 1 VEZ POR DIA.\n"
                                            "Se quiser fazer uma cópia agora, clique no botão abaixo e selecione um local "
                                            "para salvar."),
                             this);
    texto->setWordWrap(true);
    v->addWidget(texto);
    m_backup = new QPushButton(QStringLiteral("Clique aqui para iniciar o Backup"), this);
    m_backup->setObjectName(QStringLiteral("PBtnBackup"));
    m_backup->setMinimumHeight(36);
    v->addWidget(m_backup);
    m_fechar = new QPushButton(QStringLiteral("Clique aqui para Fechar o Sistema"), this);
    m_fechar->setObjectName(QStringLiteral("PBtnFechar"));
    m_fechar->setMinimumHeight(36);
    v->addWidget(m_fechar);
    m_log = NovaCaixaStatus(this);
    m_log->setObjectName(QStringLiteral("MLog"));
    v->addWidget(m_log, 1);
    connect(m_backup, &QPushButton::clicked, this, &TFBackup::PBtnBackupClick);
    connect(m_fechar, &QPushButton::clicked, this, &TFBackup::PBtnFecharClick);
}

void TFBackup::Abre()
{
    if (InstanciaTela<TFBackup>())
        return;
    ExecutaTelaModal(CriaTela<TFBackup>());
}

void TFBackup::log(const QString& linha)
{
    m_log->appendPlainText(linha);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFBackup::PBtnFecharClick()
{
    if (TDMCUNE* dm = DMCUNE()) {
        try {
            dm->DesconectaBanco();
        } catch (const ErroBanco&) {
        }
    }
    close();
}

void TFBackup::PBtnBackupClick()
{
    TDMCUNE* dm = DMCUNE();
    if (m_rodando || !dm)
        return;
    m_rodando = true;
    m_backup->setEnabled(false);
    m_fechar->setEnabled(false);
    auto fim = [this] {
        m_rodando = false;
        m_backup->setEnabled(true);
        m_fechar->setEnabled(true);
    };

    const Sessao& s = SessaoAtual();
    const QString nome = NomeBackupProposto(s.PerfilConsorcio, s.DataAtual);
    PassosBackup p;
    p.destino = DestinoDoBackup(dm->IBDatabase.nome(), nomeComputador(), QDir::currentPath());
    if (p.destino.rede) {
        // A name is needed without a dialog: the date alone when no profile gives one.
        p.arquivo = p.destino.arquivo(
            nome.isEmpty() ? QStringLiteral("BACKUP %1.GBK").arg(QString(s.DataAtual).remove(QLatin1Char('/'))) : nome);
    } else {
        SuspendeFechamento suspensao(this);
        p.arquivo = PerguntaArquivoSalvar(this, QStringLiteral("Informe o local onde deseja salvar o backup"),
                                          PastaInstalacao(), nome,
                                          QStringLiteral("Backup Firebird (*.GBK *.gbk);;Todos os Arquivos (*)"),
                                          QStringLiteral("GBK"));
        if (p.arquivo.isEmpty()) {
            fim();
            return;
        }
    }
    p.pastaTrabalho = PastaInstalacao();
    p.usuario = UsuarioBanco();
    p.senha = SenhaBanco();
    p.enviaEmail = EhMunicipio();
    if (p.enviaEmail) {
        p.conta = ContaEmailSuporte();
        p.assunto = QStringLiteral("Backup BD ") + Geral::USUARIO() + QStringLiteral(" - ") + NomeInstalacao();
    }
    p.log = [this](const QString& l) { log(l); };
    p.vivo = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };

    const bool ok = ExecutaPassosBackup(p, dm);
    fim();
    if (ok)
        close();
}

void TFBackup::closeEvent(QCloseEvent* ev)
{
    if (m_rodando) {
        ev->ignore();
        return;
    }
    TFBase::closeEvent(ev);
}

} // namespace vx
