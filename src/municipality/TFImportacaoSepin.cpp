#include "municipality/TFImportacaoSepin.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "core/widgets/UiMensagens.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(ImportaoSEPIN1, [] { TFImportacaoSepin::AbreModal(FonteImportacao::Sepin); });
VX_REGISTRA_TELA(ImportaoCadSUS1, [] { TFImportacaoSepin::AbreModal(FonteImportacao::CadSus); });
VX_REGISTRA_TELA(ImportaoCadastroMunicipal1, [] { TFImportacaoSepin::AbreModal(FonteImportacao::ArquivoMunicipal); });

namespace {

const char* const kFiltroBanco = "Banco de Dados Firebird/Interbase (*.FDB *.fdb *.GDB *.gdb)";
const char* const kFiltroTexto = "Arquivos de Texto (*.TXT *.txt)";
const char* const kFiltroTodos = "(*.*) All Files (*)";

QLabel* rotulo(const char* nome, QWidget* pai, bool negrito = false)
{
    auto* l = new QLabel(pai);
    l->setObjectName(QLatin1String(nome));
    if (negrito) {
        QFont f = l->font();
        f.setBold(true);
        f.setPointSize(f.pointSize() + 1);
        l->setFont(f);
    }
    return l;
}

} // namespace

TFImportacaoSepin::TFImportacaoSepin(FonteImportacao fonte, QWidget* parent) : TFBase(parent), m_fonte(fonte)
{
    setObjectName(QStringLiteral("TFImportacaoSepin"));
    setWindowTitle(QStringLiteral("Importação de Cadastros de Pacientes do Sistema Sepin"));

    auto* cabecalho = new QFrame(this);
    cabecalho->setObjectName(QStringLiteral("PCabecalho"));
    cabecalho->setFrameShape(QFrame::StyledPanel);
    cabecalho->setAutoFillBackground(true);
    QPalette pc = cabecalho->palette();
    pc.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
    cabecalho->setPalette(pc);
    auto* lMunicipio = rotulo("LMunicipio", cabecalho, true);
    lMunicipio->setText(QStringLiteral("Município: "));
    m_lCodMun = rotulo("LCodMun", cabecalho, true);
    m_lNomeMun = rotulo("LNomeMun", cabecalho, true);
    auto* hc = new QHBoxLayout(cabecalho);
    hc->setContentsMargins(10, 4, 10, 4);
    hc->addWidget(lMunicipio);
    hc->addWidget(m_lCodMun);
    hc->addSpacing(12);
    hc->addWidget(m_lNomeMun, 1);

    m_arquivo = new TPersonEdit(TPersonEdit::peTexto, LegendaArquivo(fonte), this);
    m_arquivo->setObjectName(QStringLiteral("PEArquivoBD"));
    m_arquivo->setRequerido(true);
    m_sbArquivo = new QToolButton(this);
    m_sbArquivo->setObjectName(QStringLiteral("SBArquivoBD"));
    m_sbArquivo->setText(QStringLiteral("..."));
    connect(m_sbArquivo, &QToolButton::clicked, this, &TFImportacaoSepin::SBArquivoBDClick);
    m_progresso = rotulo("LProgresso", this);
    m_ok = new TPersonBtn(QStringLiteral("&Iniciar Importação"), this);
    m_ok->setObjectName(QStringLiteral("PBOK"));
    connect(m_ok, &TPersonBtn::Acao, this, &TFImportacaoSepin::PBOKClick);
    m_resultado = rotulo("LResultado", this, true);
    m_resumo = NovaCaixaStatus(this);
    m_resumo->setObjectName(QStringLiteral("MResumo"));
    m_resumo->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* linhaArquivo = new QHBoxLayout;
    linhaArquivo->addWidget(m_arquivo, 1);
    linhaArquivo->addWidget(m_sbArquivo);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(m_ok);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 8);
    v->addWidget(cabecalho);
    auto* corpo = new QVBoxLayout;
    corpo->setContentsMargins(12, 8, 12, 0);
    corpo->addWidget(m_arquivo->editLabel());
    corpo->addLayout(linhaArquivo);
    corpo->addSpacing(6);
    corpo->addWidget(m_progresso);
    corpo->addLayout(botoes);
    corpo->addWidget(m_resultado);
    corpo->addWidget(m_resumo, 1);
    v->addLayout(corpo, 1);
    resize(620, 380);

    if (EhMunicipio()) {
        m_municipio = CodigoInstalacao();
        m_lCodMun->setText(m_municipio);
        m_lNomeMun->setText(DMCUNE() ? NomeLivre(m_municipio, QStringLiteral("codigo"), QStringLiteral("cidade"),
                                                 QStringLiteral("IBGEMUNIC"))
                                     : QString());
    } else {
        m_lNomeMun->setText(QStringLiteral("MUNICÍPIO NÃO CONFIGURADO"));
    }
    m_ok->setEnabled(!m_municipio.isEmpty());
    m_arquivo->setFocus();
}

void TFImportacaoSepin::AbreModal(FonteImportacao fonte)
{
    if (TFImportacaoSepin* aberta = InstanciaTela<TFImportacaoSepin>()) {
        if (aberta->m_rodando)
            return;
        aberta->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    ExecutaTelaModal(CriaTela<TFImportacaoSepin>(fonte));
}

void TFImportacaoSepin::closeEvent(QCloseEvent* ev)
{
    // The import pumps window events; the screen stays until it ends.
    if (m_rodando) {
        ev->ignore();
        return;
    }
    TFBase::closeEvent(ev);
}

void TFImportacaoSepin::SBArquivoBDClick()
{
    SuspendeFechamento suspensao(this);
    const QString atual = m_arquivo->text().trimmed();
    const QString pasta = atual.isEmpty() ? PastaInstalacao() : QFileInfo(atual).absolutePath();
    // The text import starts on the text files, the database imports on the databases.
    const QStringList filtros = m_fonte == FonteImportacao::ArquivoMunicipal
                                    ? QStringList{QLatin1String(kFiltroTexto), QLatin1String(kFiltroBanco),
                                                  QLatin1String(kFiltroTodos)}
                                    : QStringList{QLatin1String(kFiltroBanco), QLatin1String(kFiltroTexto),
                                                  QLatin1String(kFiltroTodos)};
    const QString arquivo = PerguntaArquivoAbrir(this, LegendaArquivo(m_fonte).chopped(1), pasta,
                                                 filtros.join(QStringLiteral(";;")));
    if (!arquivo.isEmpty())
        m_arquivo->setText(arquivo);
}

void TFImportacaoSepin::progresso(int n, int total, const QString& nome)
{
    if (n < total && m_pintura.isValid() && !m_pintura.hasExpired(100))
        return;
    m_pintura.start();
    m_progresso->setText(TextoProgresso(n, total, nome));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFImportacaoSepin::PBOKClick()
{
    TDMCUNE* dm = DMCUNE();
    if (m_rodando || !dm || m_municipio.isEmpty())
        return;
    SuspendeFechamento suspensao(this);
    m_rodando = true;
    m_ok->setEnabled(false);
    m_progresso->clear();
    m_resumo->clear();
    m_resultado->setText(QStringLiteral("Aguarde mensagem [Importação Concluída]"));
    m_pintura.invalidate();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    ParametrosImportacao p;
    p.fonte = m_fonte;
    p.arquivo = m_arquivo->text().trimmed();
    p.municipio = m_municipio;
    p.hoje = SessaoAtual().DataAtual;
    QStringList linhas;
    try {
        ImportaPacientes(dm->IBTransaction, p, m_ultimo,
                         [this](int n, int total, const QString& nome) { progresso(n, total, nome); });
        m_resultado->setText(QStringLiteral("Importação concluída com sucesso!"));
        linhas = m_ultimo.linhas();
    } catch (const std::exception&) {
        m_resultado->setText(QStringLiteral("Falha na importação, tente novamente ou contate o suporte técnico!"));
        linhas << QStringLiteral("Erro: ") + m_ultimo.erro << QStringLiteral("Nenhum cadastro foi alterado.")
               << QString() << m_ultimo.linhas();
    }
    m_resumo->setPlainText(linhas.join(QLatin1Char('\n')));
    m_ok->setEnabled(true);
    m_rodando = false;
}

} // namespace vx
