#include "core/TFProcura.h"
#include "core/Banco.h"
#include "core/Mensagens.h"
#include "core/UDMCune.h"
#include "core/widgets/UiMensagens.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vx {

TFProcura::TFProcura(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FProcura"));
    setWindowTitle(QStringLiteral("Procura por Nomes"));
    resize(640, 460);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    RBTrecho = new QRadioButton(QStringLiteral("Trecho do Nome"), this);
    RBTrecho->setObjectName(QStringLiteral("RBTrecho"));
    RBInicio = new QRadioButton(QStringLiteral("Inicio do Nome"), this);
    RBInicio->setObjectName(QStringLiteral("RBInicio"));
    RBQualquer = new QRadioButton(QStringLiteral("Qualquer Palavra"), this);
    RBQualquer->setObjectName(QStringLiteral("RBQualquer"));
    RBTrecho->setChecked(true);
    for (QRadioButton* rb : {RBTrecho, RBInicio, RBQualquer})
        rb->setFocusPolicy(Qt::NoFocus);
    auto* grupo = new QButtonGroup(this);
    grupo->addButton(RBTrecho);
    grupo->addButton(RBInicio);
    grupo->addButton(RBQualquer);

    DBLookupListBox1 = new QTreeWidget(this);
    DBLookupListBox1->setObjectName(QStringLiteral("DBLookupListBox1"));
    DBLookupListBox1->setRootIsDecorated(false);
    DBLookupListBox1->setUniformRowHeights(true);
    DBLookupListBox1->setAlternatingRowColors(true);
    DBLookupListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBLookupListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBLookupListBox1->header()->setStretchLastSection(true);

    auto* modos = new QHBoxLayout;
    modos->addWidget(RBTrecho);
    modos->addWidget(RBInicio);
    modos->addWidget(RBQualquer);
    modos->addStretch();
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(Edit1);
    lay->addLayout(modos);
    lay->addWidget(DBLookupListBox1, 1);

    m_timer.setSingleShot(true);
    m_timer.setInterval(250);
    connect(&m_timer, &QTimer::timeout, this, &TFProcura::atualiza);
    connect(Edit1, &QLineEdit::textChanged, this, &TFProcura::agenda);
    connect(grupo, &QButtonGroup::buttonClicked, this, [this] {
        agenda();
        Edit1->setFocus();
    });
    connect(DBLookupListBox1, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { escolhe(item); });
    Edit1->installEventFilter(this);
    DBLookupListBox1->installEventFilter(this);
}

TFProcura::~TFProcura() = default;

ModoBusca TFProcura::modo() const
{
    if (RBInicio->isChecked())
        return ModoBusca::InicioNome;
    if (RBQualquer->isChecked())
        return ModoBusca::QualquerPalavra;
    return ModoBusca::TrechoNome;
}

QString TFProcura::Executa(const DefinicaoBusca& d)
{
    m_timer.stop();
    m_falhou = false;
    m_resultado.clear();
    m_linha.clear();
    Conexao* con = m_con ? m_con : (DMCUNE() ? &DMCUNE()->IBDatabase : nullptr);
    if (!con) {
        MostraErro(QStringLiteral("Banco de dados não conectado"), d.tituloErro);
        return {};
    }
    if (!IBTProcura || &IBTProcura->conexao() != con)
        IBTProcura = std::make_unique<Transacao>(*con);
    m_def = d;
    try {
        IBTProcura->inicia();
        // Once per search: which comparisons the columns take, whether the word pieces serve it.
        PreparaBusca(*IBTProcura, m_def);
    } catch (const ErroBanco& e) {
        MostraErro(e.texto(), d.tituloErro);
        return {};
    }
    DBLookupListBox1->clear();
    DBLookupListBox1->setColumnCount(int(qMax<qsizetype>(1, d.titulos.size())));
    DBLookupListBox1->setHeaderLabels(d.titulos);
    {
        const QSignalBlocker b(Edit1);
        Edit1->clear();
    }
    RBTrecho->setChecked(true);
    if (abre(QStringLiteral("%"))) {
        for (int i = 0; i + 1 < DBLookupListBox1->columnCount(); ++i)
            DBLookupListBox1->resizeColumnToContents(i);
        m_mostrado = true;
        ExecutaModal(this);
        m_mostrado = false;
    }
    m_timer.stop();
    limpa();
    const QString r = m_falhou ? QString() : ChaveResultado(d, m_resultado);
    try {
        IBTProcura->commit();
    } catch (const ErroBanco&) {
        IBTProcura->rollback();
    }
    return r;
}

void TFProcura::showEvent(QShowEvent* ev)
{
    QDialog::showEvent(ev);
    // Executa has cleared the text and listed the opening rows.
    m_resultado.clear();
    Edit1->setFocus();
}

void TFProcura::agenda()
{
    // Restarts the pause: the query runs once the user stops typing.
    if (m_executando)
        m_mudou = true;
    m_timer.start();
}

void TFProcura::atualiza()
{
    if (m_falhou)
        return;
    if (m_executando) {
        m_timer.start();
        return;
    }
    const QString padrao = PadraoBusca(modo(), Edit1->text());
    if (padrao == m_padraoAtual)
        return;
    if (!abre(padrao)) {
        reject();
        return;
    }
}

bool TFProcura::abre(const QString& padrao)
{
    m_executando = true;
    m_mudou = false;
    AjusteBusca ajuste;
    // While shown, a long search keeps the dialog alive and gives way to a newer text.
    ajuste.continua = [this] {
        if (!m_mostrado)
            return true;
        QCoreApplication::processEvents();
        return isVisible() && !m_mudou;
    };
    QVector<LinhaBusca> linhas;
    emit buscaIniciada(padrao);
    try {
        linhas = ExecutaBusca(*IBTProcura, m_def, padrao, ajuste);
    } catch (const BuscaInterrompida&) {
        m_executando = false;
        ++m_interrompidas;
        return true;
    } catch (const ErroBanco& e) {
        m_executando = false;
        m_falhou = true;
        m_timer.stop();
        m_padraoAtual.clear();
        IBTProcura->rollback();
        MostraErro(e.texto(), m_def.tituloErro);
        return false;
    }
    ++m_consultas;
    m_padraoAtual = padrao;
    DBLookupListBox1->setUpdatesEnabled(false);
    DBLookupListBox1->clear();
    QList<QTreeWidgetItem*> itens;
    itens.reserve(linhas.size());
    for (const LinhaBusca& l : linhas) {
        auto* it = new QTreeWidgetItem(l.colunas);
        it->setData(0, Qt::UserRole, l.chave);
        itens << it;
    }
    DBLookupListBox1->addTopLevelItems(itens);
    if (!itens.isEmpty())
        DBLookupListBox1->setCurrentItem(itens.first());
    DBLookupListBox1->setUpdatesEnabled(true);
    m_executando = false;
    emit listaAtualizada(padrao);
    return true;
}

void TFProcura::escolhe(QTreeWidgetItem* item)
{
    if (!item)
        return;
    // A text typed after the last refresh is not what the list shows: refresh first.
    if (m_timer.isActive()) {
        m_timer.stop();
        atualiza();
        return;
    }
    m_resultado = item->data(0, Qt::UserRole).toString();
    m_linha.clear();
    for (int i = 0; i < item->columnCount(); ++i)
        m_linha << item->text(i);
    accept();
}

void TFProcura::limpa()
{
    Edit1->setEnabled(true);
    DBLookupListBox1->clear();
    DBLookupListBox1->setColumnCount(1);
    DBLookupListBox1->setHeaderLabels({});
    m_padraoAtual.clear();
    m_def = DefinicaoBusca{};
}

bool TFProcura::eventFilter(QObject* obj, QEvent* ev)
{
    if (ev->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(ev)->key();
        if (obj == Edit1 && (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Down)) {
            if (m_timer.isActive()) {
                m_timer.stop();
                atualiza();
            }
            DBLookupListBox1->setFocus();
            if (!DBLookupListBox1->currentItem() && DBLookupListBox1->topLevelItemCount() > 0)
                DBLookupListBox1->setCurrentItem(DBLookupListBox1->topLevelItem(0));
            return true;
        }
        if (obj == DBLookupListBox1 && (k == Qt::Key_Return || k == Qt::Key_Enter)) {
            escolhe(DBLookupListBox1->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(obj, ev);
}

TFProcura* FProcura()
{
    static QPointer<TFProcura> p;
    if (!p)
        p = new TFProcura;
    return p.data();
}

namespace {
QString executa(const DefinicaoBusca& d)
{
    return FProcura()->Executa(d);
}
} // namespace

QString Procura(const QStringList& campos, const QString& coluna, const QString& tabela)
{
    return executa(MontaProcura(campos, coluna, tabela));
}

QString ProcuraFiltro(const QStringList& campos, const QString& coluna, const QString& tabela,
                      const QString& condicao)
{
    return executa(MontaProcuraFiltro(campos, coluna, tabela, condicao));
}

QString ProcuraSimples(const QString& chave, const QString& nome, const QString& tabela)
{
    return executa(MontaProcuraSimples(chave, nome, tabela));
}

QString ProcuraSimplesFiltro(const QString& chave, const QString& nome, const QString& tabela,
                             const QString& condicao)
{
    return executa(MontaProcuraSimplesFiltro(chave, nome, tabela, condicao));
}

} // namespace vx
