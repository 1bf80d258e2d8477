#include "municipality/TFUnificarCadastros.h"
#include "core/Banco.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/widgets/TPersonBtn.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(UnificarCadastrosDuplicados1, [] { TFUnificarCadastros::Abre(); });

namespace {

enum Coluna { cCodigo, cNome, cNascimento, cCartao, cMae, cAutorizacoes };
constexpr int kPapelSobrevivente = Qt::UserRole + 1;
constexpr int kPapelOrigem = Qt::UserRole + 2;

// Repaints at most every 100 ms while a long run works in the event thread.
class Repinta {
public:
    void operator()(QLabel* l, const QString& t)
    {
        l->setText(t);
        if (!m_relogio.isValid() || m_relogio.elapsed() >= 100) {
            m_relogio.start();
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }

private:
    QElapsedTimer m_relogio;
};

} // namespace

TFUnificarCadastros::TFUnificarCadastros(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFUnificarCadastros"));
    setWindowTitle(QStringLiteral("Unificação de Cadastros"));
    auto* raiz = new QVBoxLayout(this);
    auto* explicacao = new QLabel(
        QStringLiteral("Será verificada a ocorrência de cadastros repetidos de Pessoas e unificados em um só quando possível!"), this);
    explicacao->setWordWrap(true);
    raiz->addWidget(explicacao);
    m_progresso = new QLabel(this);
    m_progresso->setObjectName(QStringLiteral("LProgresso"));
    raiz->addWidget(m_progresso);
    m_aguarde = new QLabel(QStringLiteral("Aguarde, processando..."), this);
    m_aguarde->setObjectName(QStringLiteral("LAguarde"));
    m_aguarde->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
    m_aguarde->hide();
    raiz->addWidget(m_aguarde);
    m_executa = new TPersonBtn(QStringLiteral("Clique aqui para Iniciar"), this);
    m_executa->setObjectName(QStringLiteral("PBExecuta"));
    raiz->addWidget(m_executa, 0, Qt::AlignLeft);

    auto* linha = new QFrame(this);
    linha->setFrameShape(QFrame::HLine);
    raiz->addWidget(linha);
    auto* titulo = new QLabel(QStringLiteral("<b>Prováveis duplicados</b> (mesmo Cartão SUS, ou mesmo nome e nascimento, ou "
                                             "mesmo nome e mãe, sem considerar acentos). Marque os cadastros a unificar ao "
                                             "cadastro mantido (em negrito)."),
                              this);
    titulo->setWordWrap(true);
    raiz->addWidget(titulo);
    m_lista = new QTreeWidget(this);
    m_lista->setObjectName(QStringLiteral("TVDuplicados"));
    m_lista->setHeaderLabels({QStringLiteral("Código"), QStringLiteral("Nome"), QStringLiteral("Nascimento"),
                              QStringLiteral("Cartão SUS"), QStringLiteral("Nome da Mãe"), QStringLiteral("Autorizações")});
    m_lista->setMinimumSize(920, 360);
    m_lista->setRootIsDecorated(true);
    m_lista->setUniformRowHeights(true);
    m_lista->header()->setStretchLastSection(false);
    m_lista->header()->setSectionResizeMode(cNome, QHeaderView::Stretch);
    m_lista->header()->setSectionResizeMode(cMae, QHeaderView::Stretch);
    raiz->addWidget(m_lista, 1);
    m_resumo = new QLabel(this);
    m_resumo->setObjectName(QStringLiteral("LResumo"));
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(m_resumo, 1);
    m_procurar = new TPersonBtn(QStringLiteral("&Procurar Prováveis Duplicados"), this);
    m_procurar->setObjectName(QStringLiteral("PBProcurar"));
    m_manter = new TPersonBtn(QStringLiteral("&Manter este Cadastro"), this);
    m_manter->setObjectName(QStringLiteral("PBManter"));
    m_unificar = new TPersonBtn(QStringLiteral("&Unificar Grupo"), this);
    m_unificar->setObjectName(QStringLiteral("PBUnificar"));
    for (TPersonBtn* b : {m_procurar, m_manter, m_unificar})
        botoes->addWidget(b);
    raiz->addLayout(botoes);
    m_manter->setEnabled(false);
    m_unificar->setEnabled(false);

    connect(m_executa, &TPersonBtn::Acao, this, &TFUnificarCadastros::PBExecutaClick);
    connect(m_procurar, &TPersonBtn::Acao, this, &TFUnificarCadastros::PBProcurarClick);
    connect(m_manter, &TPersonBtn::Acao, this, &TFUnificarCadastros::PBManterClick);
    connect(m_unificar, &TPersonBtn::Acao, this, &TFUnificarCadastros::PBUnificarClick);
    connect(m_lista, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* it) {
        if (it->parent())
            marcaSobrevivente(it->parent(), it);
    });
    connect(m_lista, &QTreeWidget::currentItemChanged, this, [this] {
        const bool temGrupo = grupoAtual() != nullptr;
        m_manter->setEnabled(temGrupo && m_lista->currentItem()->parent());
        m_unificar->setEnabled(temGrupo);
    });
}

void TFUnificarCadastros::Abre()
{
    if (InstanciaTela<TFUnificarCadastros>())
        return;
    ExecutaTelaModal(CriaTela<TFUnificarCadastros>());
}

void TFUnificarCadastros::PBExecutaClick()
{
    m_aguarde->show();
    Repinta repinta;
    ExecutaAcao(m_executa, [&] {
        const ResultadoUnificacao r = ExecutaUnificacao(DMCUNE()->IBTransaction,
                                                        [&](const QString& t) { repinta(m_progresso, t); });
        m_resumo->setText(QString::number(r.verificados) + QStringLiteral(" cadastros verificados, ")
                          + QString::number(r.unificados) + QStringLiteral(" unificados, ")
                          + QString::number(r.excluidos) + QStringLiteral(" excluídos."));
    });
    m_aguarde->hide();
}

void TFUnificarCadastros::PBProcurarClick()
{
    m_aguarde->show();
    Repinta repinta;
    ExecutaAcao(m_procurar, [&] {
        Transacao* tr = transacaoLeitura();
        tr->inicia();
        const QVector<GrupoDuplicados> grupos = ProvaveisDuplicados(*tr, [&](int lidos) {
            repinta(m_progresso, QStringLiteral("Lendo cadastros: ") + QString::number(lidos));
        });
        tr->rollback();
        m_lista->clear();
        QFont negrito = m_lista->font();
        negrito.setBold(true);
        for (const GrupoDuplicados& g : grupos) {
            auto* grupo = new QTreeWidgetItem(m_lista);
            grupo->setText(0, g.motivo + QStringLiteral(": ") + g.cadastros.first().nome);
            grupo->setFirstColumnSpanned(true);
            grupo->setFont(0, negrito);
            grupo->setData(0, kPapelOrigem, g.cadastros.first().cliOrigem);
            for (const CadastroDuplicado& c : g.cadastros) {
                auto* it = new QTreeWidgetItem(grupo);
                it->setText(cCodigo, QString::number(c.codigo));
                it->setText(cNome, c.nome);
                it->setText(cNascimento, TextoData(c.dataNasc));
                it->setText(cCartao, c.cartaoSus);
                it->setText(cMae, c.nomeMae);
                it->setText(cAutorizacoes, QString::number(c.autorizacoes));
                it->setTextAlignment(cAutorizacoes, Qt::AlignRight | Qt::AlignVCenter);
            }
            marcaSobrevivente(grupo, grupo->child(0));
        }
        m_lista->expandAll();
        for (int c = 0; c < m_lista->columnCount(); ++c)
            if (c != cNome && c != cMae)
                m_lista->resizeColumnToContents(c);
        m_progresso->setText(grupos.isEmpty() ? QStringLiteral("Nenhum provável duplicado encontrado.")
                                              : QString::number(grupos.size()) + QStringLiteral(" grupos de prováveis duplicados."));
        if (!grupos.isEmpty()) {
            m_lista->setCurrentItem(m_lista->topLevelItem(0)->child(0));
            m_lista->setFocus();
        }
    });
    m_aguarde->hide();
}

QTreeWidgetItem* TFUnificarCadastros::grupoAtual() const
{
    QTreeWidgetItem* it = m_lista->currentItem();
    return it && it->parent() ? it->parent() : it;
}

void TFUnificarCadastros::marcaSobrevivente(QTreeWidgetItem* grupo, QTreeWidgetItem* escolhido)
{
    for (int i = 0; i < grupo->childCount(); ++i) {
        QTreeWidgetItem* it = grupo->child(i);
        const bool mantido = it == escolhido;
        it->setData(0, kPapelSobrevivente, mantido);
        QFont f = it->font(cNome);
        f.setBold(mantido);
        for (int c = 0; c < m_lista->columnCount(); ++c)
            it->setFont(c, f);
        if (mantido) {
            it->setData(cCodigo, Qt::CheckStateRole, QVariant());
            it->setFlags(it->flags() & ~Qt::ItemIsUserCheckable);
        } else {
            it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
            if (!it->data(cCodigo, Qt::CheckStateRole).isValid())
                it->setCheckState(cCodigo, Qt::Checked);
        }
    }
}

void TFUnificarCadastros::PBManterClick()
{
    QTreeWidgetItem* it = m_lista->currentItem();
    if (it && it->parent())
        marcaSobrevivente(it->parent(), it);
}

void TFUnificarCadastros::PBUnificarClick()
{
    QTreeWidgetItem* grupo = grupoAtual();
    if (!grupo)
        return;
    QTreeWidgetItem* mantido = nullptr;
    QVector<QTreeWidgetItem*> unificar;
    for (int i = 0; i < grupo->childCount(); ++i) {
        QTreeWidgetItem* it = grupo->child(i);
        if (it->data(0, kPapelSobrevivente).toBool())
            mantido = it;
        else if (it->checkState(cCodigo) == Qt::Checked)
            unificar << it;
    }
    if (!mantido || unificar.isEmpty()) {
        Avisa(QStringLiteral("Marque os cadastros a unificar ao cadastro mantido!"));
        return;
    }
    QStringList codigos;
    QVector<qint64> duplicados;
    for (QTreeWidgetItem* it : unificar) {
        codigos << it->text(cCodigo);
        duplicados << it->text(cCodigo).toLongLong();
    }
    if (!Pergunta(QStringLiteral("Unificar os cadastros ") + codigos.join(QStringLiteral(", ")) + QStringLiteral(" ao cadastro ")
                  + mantido->text(cCodigo) + QStringLiteral(" - ") + mantido->text(cNome)
                  + QStringLiteral("?\nAs autorizações e agendamentos passam ao cadastro mantido e os outros são excluídos.")))
        return;
    const bool ok = ExecutaAcao(m_unificar, [&] {
        UnificaPacientes(DMCUNE()->IBTransaction, grupo->data(0, kPapelOrigem).toString(),
                         mantido->text(cCodigo).toLongLong(), duplicados);
    });
    if (!ok)
        return;
    int autorizacoes = mantido->text(cAutorizacoes).toInt();
    for (QTreeWidgetItem* it : unificar) {
        autorizacoes += it->text(cAutorizacoes).toInt();
        delete it;
    }
    mantido->setText(cAutorizacoes, QString::number(autorizacoes));
    m_progresso->setText(QString::number(unificar.size()) + QStringLiteral(" cadastro(s) unificado(s) ao cadastro ")
                         + mantido->text(cCodigo) + QLatin1Char('.'));
    if (grupo->childCount() < 2)
        delete grupo;
    m_lista->setFocus();
}

} // namespace vx
