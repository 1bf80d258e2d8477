#include "core/TFGeraConsultas.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/RegistraLog.h"
#include "core/Texto1252.h"
#include "core/UDMCune.h"
#include "core/Utilitarios.h"
#include "core/widgets/CopiaGrade.h"
#include "core/widgets/UiMensagens.h"
#include "reports/UiPreview.h"

#include <QAbstractTableModel>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

// The rows of an open SELECT, read from its cursor in blocks as the view asks for more.
class ModeloResultado : public QAbstractTableModel {
public:
    ModeloResultado(Transacao& tr, const QString& sql) : m_q(tr)
    {
        m_q.abre(sql);
        for (int i = 0; i < m_q.numCampos(); ++i)
            m_colunas << m_q.campo(i).nome;
        busca(kBloco);
    }
    int rowCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : int(m_linhas.size()); }
    int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : int(m_colunas.size()); }
    QVariant data(const QModelIndex& i, int papel) const override
    {
        if (papel != Qt::DisplayRole || !i.isValid())
            return {};
        return m_linhas.at(i.row()).at(i.column());
    }
    QVariant headerData(int secao, Qt::Orientation o, int papel) const override
    {
        if (o == Qt::Horizontal && (papel == Qt::DisplayRole || papel == Qt::UserRole) && secao < m_colunas.size())
            return m_colunas.at(secao);
        return QAbstractTableModel::headerData(secao, o, papel);
    }
    bool canFetchMore(const QModelIndex& p) const override { return !p.isValid() && !m_q.eof(); }
    void fetchMore(const QModelIndex& p) override
    {
        if (!p.isValid())
            busca(kBloco);
    }
    void buscaTudo() { busca(-1); }

private:
    static constexpr int kBloco = 500;
    void busca(int limite)
    {
        QVector<QStringList> novas;
        for (; !m_q.eof() && (limite < 0 || novas.size() < limite); m_q.proximo()) {
            QStringList l;
            for (int i = 0; i < m_q.numCampos(); ++i)
                l << m_q.campo(i).texto();
            novas.append(l);
        }
        if (m_q.eof())
            m_q.fecha();
        if (novas.isEmpty())
            return;
        beginInsertRows({}, int(m_linhas.size()), int(m_linhas.size() + novas.size() - 1));
        m_linhas += novas;
        endInsertRows();
    }
    Consulta m_q;
    QStringList m_colunas;
    QVector<QStringList> m_linhas;
};

VX_REGISTRA_TELA(GeradordeConsultas1, [] { TFGeraConsultas::Abre(); });

TFGeraConsultas::TFGeraConsultas(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFGeraConsultas"));
    setWindowTitle(QStringLiteral("Gerador de Consultas"));
    resize(900, 640);
    auto* v = new QVBoxLayout(this);

    auto* linhaArquivo = new QHBoxLayout;
    linhaArquivo->addWidget(new QLabel(QStringLiteral("Abrir arquivo:"), this));
    m_arquivo = new QLineEdit(this);
    m_arquivo->setObjectName(QStringLiteral("PEArquivoSQL"));
    linhaArquivo->addWidget(m_arquivo, 1);
    auto* procura = NovoBotaoBusca(QStringLiteral("SBArquivoSQL"), this);
    linhaArquivo->addWidget(procura);
    v->addLayout(linhaArquivo);

    v->addWidget(new QLabel(QStringLiteral("Instrução SQL a ser executada:"), this));
    m_instrucao = new QPlainTextEdit(this);
    m_instrucao->setObjectName(QStringLiteral("MInstru"));
    m_instrucao->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    v->addWidget(m_instrucao, 1);

    auto* botoes = new QHBoxLayout;
    m_executar = new QPushButton(QStringLiteral("Executar"), this);
    m_executar->setObjectName(QStringLiteral("PBtnExecutar"));
    auto* qrp = new QPushButton(QStringLiteral("Abrir .QRP"), this);
    qrp->setObjectName(QStringLiteral("PBtnAbrirQrp"));
    auto* copiar = new QPushButton(QStringLiteral("Copiar para Área de Transferência"), this);
    copiar->setObjectName(QStringLiteral("PBtnCopiar"));
    m_aguarde = new QLabel(QStringLiteral("Aguarde, processando..."), this);
    m_aguarde->setStyleSheet(QStringLiteral("color: #C00000; font-weight: bold;"));
    m_aguarde->hide();
    auto* excel = new QLabel(QStringLiteral("<a href=\"calc\">Abrir MS-Excel</a>"), this);
    auto* word = new QLabel(QStringLiteral("<a href=\"writer\">Abrir MS-Word</a>"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{m_executar, qrp, copiar, m_aguarde})
        botoes->addWidget(w);
    botoes->addStretch();
    botoes->addWidget(excel);
    botoes->addWidget(word);
    v->addLayout(botoes);

    v->addWidget(new QLabel(QStringLiteral("Resultado:"), this));
    m_grade = new QTableView(this);
    m_grade->setObjectName(QStringLiteral("DBGrid"));
    m_grade->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grade->setAlternatingRowColors(true);
    m_grade->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    v->addWidget(m_grade, 2);

    connect(procura, &QToolButton::clicked, this, &TFGeraConsultas::SBArquivoClick);
    connect(m_arquivo, &QLineEdit::editingFinished, this, &TFGeraConsultas::CarregaArquivo);
    connect(m_executar, &QPushButton::clicked, this, &TFGeraConsultas::PBtnExecutarClick);
    connect(qrp, &QPushButton::clicked, this, &TFGeraConsultas::PBtnAbrirQrpClick);
    connect(copiar, &QPushButton::clicked, this, &TFGeraConsultas::PBtnCopiarClick);
    auto escritorio = [](const QString& qual) {
        if (!AbreAplicativoEscritorio(qual == QLatin1String("calc")))
            MostraErro(QStringLiteral("Não foi possível abrir o aplicativo do escritório."));
    };
    connect(excel, &QLabel::linkActivated, this, escritorio);
    connect(word, &QLabel::linkActivated, this, escritorio);
}

TFGeraConsultas::~TFGeraConsultas()
{
    fechaResultado();
}

void TFGeraConsultas::Abre()
{
    TFGeraConsultas* t = MostraTela<TFGeraConsultas>();
    t->showMaximized();
}

void TFGeraConsultas::fechaResultado()
{
    m_grade->setModel(nullptr);
    m_modelo.reset();
    if (Transacao* tr = DMCUNE() ? transacaoLeitura() : nullptr)
        tr->rollback();
}

void TFGeraConsultas::SBArquivoClick()
{
    SuspendeFechamento suspensao(this);
    const QString arquivo = PerguntaArquivoAbrir(this, QStringLiteral("Abrir arquivo"), PastaInstalacao(),
                                                 QStringLiteral("Instruções SQL (*.SQL *.sql);;Todos os Arquivos (*)"));
    if (arquivo.isEmpty())
        return;
    m_arquivo->setText(arquivo);
    CarregaArquivo();
}

void TFGeraConsultas::CarregaArquivo()
{
    const QString nome = m_arquivo->text().trimmed();
    if (nome.isEmpty())
        return;
    QFile f(nome);
    if (!f.open(QIODevice::ReadOnly)) {
        MostraErro(QStringLiteral("Não foi possível abrir o arquivo ") + nome + QStringLiteral(": ") + f.errorString());
        return;
    }
    // Scripts saved on older workstations are in Windows-1252; newer ones in UTF-8.
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString texto = utf8.decode(bytes);
    m_instrucao->setPlainText(utf8.hasError() ? de1252(bytes) : texto);
}

int TFGeraConsultas::linhasCarregadas() const
{
    return m_modelo ? m_modelo->rowCount() : 0;
}

void TFGeraConsultas::carregaTudo()
{
    if (m_modelo)
        m_modelo->buscaTudo();
}

void TFGeraConsultas::PBtnExecutarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const QString sql = m_instrucao->toPlainText();
    m_executar->setEnabled(false);
    m_aguarde->show();
    fechaResultado();
    ExecutaAcao(nullptr, [&] {
        Transacao& tr = dm->IBTransaction;
        tr.inicia();
        RegistraLog(tr, QStringLiteral("GeraConsultas"), QStringLiteral("C"), sql);
        tr.commit();
        tr.inicia();
        if (EhConsultaSelect(sql)) {
            try {
                m_modelo = std::make_unique<ModeloResultado>(*transacaoLeitura(), sql);
            } catch (...) {
                transacaoLeitura()->rollback();
                throw;
            }
            m_grade->setModel(m_modelo.get());
            m_grade->resizeColumnsToContents();
        } else {
            tr.executa(sql);
            tr.commit();
            Informa(QStringLiteral("Instrução Executada"));
        }
    });
    m_executar->setEnabled(true);
    m_aguarde->hide();
}

void TFGeraConsultas::PBtnAbrirQrpClick()
{
    SuspendeFechamento suspensao(this);
    rel::MostraPreview(std::make_shared<rel::Documento>(), QStringLiteral("Visualizar relatório"), this);
}

void TFGeraConsultas::PBtnCopiarClick()
{
    carregaTudo();
    CopiaGrade(m_grade);
}

} // namespace vx
