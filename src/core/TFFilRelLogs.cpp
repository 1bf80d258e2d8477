#include "core/TFFilRelLogs.h"
#include "core/Banco.h"
#include "core/TRLog.h"
#include "core/UDMCune.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace vx {

TFFilRelLogs::TFFilRelLogs(Transacao* tr, QWidget* parent)
    : TFBase(parent), m_tr(tr)
{
    if (!m_tr && DMCUNE())
        m_tr = &DMCUNE()->IBTransaction;
    setObjectName(QStringLiteral("TFFilRelLogs"));
    setWindowTitle(QStringLiteral("Relatório de Logs"));

    PEDataInicial = new TPersonEdit(TPersonEdit::peData, QStringLiteral("Período:"), this);
    PEDataInicial->setObjectName(QStringLiteral("PEDataInicial"));
    PEDataInicial->setRequerido(true);
    PEDataFinal = new TPersonEdit(TPersonEdit::peData, QStringLiteral("a:"), this);
    PEDataFinal->setObjectName(QStringLiteral("PEDataFinal"));
    PEDataFinal->setRequerido(true);
    CBUsuarios = new QComboBox(this);
    CBUsuarios->setObjectName(QStringLiteral("CBUsuarios"));
    CBTabela = new QComboBox(this);
    CBTabela->setObjectName(QStringLiteral("CBTabela"));
    CBOperacao = new QComboBox(this);
    CBOperacao->setObjectName(QStringLiteral("CBOperacao"));
    PEOutrasInf = new TPersonEdit(TPersonEdit::peTexto, QStringLiteral("Outras Inf.:"), this);
    PEOutrasInf->setObjectName(QStringLiteral("PEOutrasInf"));
    CBOrdem = new QComboBox(this);
    CBOrdem->setObjectName(QStringLiteral("CBOrdem"));
    CBOrdem->addItems(OrdensLogs());
    PBtnImprimir = new TPersonBtn(QStringLiteral("&Imprimir"), this);
    PBtnImprimir->setObjectName(QStringLiteral("PBtnImprimir"));

    PEDataInicial->setText(QStringLiteral("01/01/0001"));
    PEDataFinal->setText(QStringLiteral("31/12/2999"));
    PEDataInicial->setFixedWidth(90);
    PEDataFinal->setFixedWidth(90);

    auto* g = new QGridLayout;
    auto rotulo = [this](const QString& t, QWidget* buddy) {
        auto* l = new QLabel(t, this);
        l->setBuddy(buddy);
        return l;
    };
    auto* periodo = new QHBoxLayout;
    periodo->addWidget(PEDataInicial);
    periodo->addWidget(PEDataFinal->editLabel());
    periodo->addWidget(PEDataFinal);
    periodo->addStretch();
    g->addWidget(PEDataInicial->editLabel(), 0, 0);
    g->addLayout(periodo, 0, 1);
    g->addWidget(rotulo(QStringLiteral("Usuário:"), CBUsuarios), 1, 0);
    g->addWidget(CBUsuarios, 1, 1);
    g->addWidget(rotulo(QStringLiteral("Tabela:"), CBTabela), 2, 0);
    g->addWidget(CBTabela, 2, 1);
    g->addWidget(rotulo(QStringLiteral("Operação:"), CBOperacao), 3, 0);
    g->addWidget(CBOperacao, 3, 1);
    g->addWidget(PEOutrasInf->editLabel(), 4, 0);
    g->addWidget(PEOutrasInf, 4, 1);
    g->addWidget(rotulo(QStringLiteral("Ordem:"), CBOrdem), 5, 0);
    g->addWidget(CBOrdem, 5, 1);
    g->setColumnStretch(1, 1);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(PBtnImprimir);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(g);
    lay->addLayout(botoes);
    PEDataInicial->editLabel()->show();
    PEDataFinal->editLabel()->show();
    PEOutrasInf->editLabel()->show();
    resize(420, 240);

    connect(PBtnImprimir, &TPersonBtn::Acao, this, [this] { PBtnImprimirClick(); });
    ExecutaAcao(nullptr, [this] { PreencheListas(); });
}

void TFFilRelLogs::PreencheListas()
{
    CBUsuarios->clear();
    CBTabela->clear();
    CBOperacao->clear();
    if (!m_tr)
        return;
    const ListasLogs l = CarregaListasLogs(*m_tr);
    CBUsuarios->addItems(l.usuarios);
    CBTabela->addItems(l.tabelas);
    CBOperacao->addItems(l.operacoes);
    CBUsuarios->setCurrentIndex(0);
    CBTabela->setCurrentIndex(0);
    CBOperacao->setCurrentIndex(0);
    CBOrdem->setCurrentIndex(0);
}

FiltroLogs TFFilRelLogs::Filtro() const
{
    FiltroLogs f;
    f.dataInicial = PEDataInicial->data();
    f.dataFinal = PEDataFinal->data();
    auto escolha = [](const QComboBox* cb) { return cb->currentIndex() > 0 ? cb->currentText() : QString(); };
    f.usuario = escolha(CBUsuarios);
    f.tabela = escolha(CBTabela);
    f.operacao = escolha(CBOperacao);
    f.outrasInf = PEOutrasInf->text();
    f.ordem = FiltroLogs::Ordem(qMax(0, CBOrdem->currentIndex()));
    return f;
}

QString TFFilRelLogs::LinhaFiltro() const
{
    return LinhaFiltroLogs(PEDataInicial->text(), PEDataFinal->text(), CBUsuarios->currentText(),
                           CBTabela->currentText(), CBOperacao->currentText());
}

void TFFilRelLogs::PBtnImprimirClick()
{
    ExecutaAcao(PBtnImprimir, [this] {
        if (!m_tr)
            return;
        SuspendeFechamento s(this);
        TRLog::Executa(*m_tr, Filtro(), LinhaFiltro(), this);
    });
}

} // namespace vx
