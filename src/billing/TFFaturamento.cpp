#include "billing/TFFaturamento.h"
#include "billing/Demonstrativos.h"
#include "billing/Planilha.h"
#include "billing/TRFaturamento.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/Formulario.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "core/widgets/UiMensagens.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(FaturamentoMunicpios1, [] { TFFaturamento::Abre(ModoFaturamento::Municipio); });
VX_REGISTRA_TELA(FaturamentoEntidades1, [] { TFFaturamento::Abre(ModoFaturamento::Entidade); });

namespace {

const QString kProblemas = QStringLiteral("PROBLEMAS DURANTE O PROCESSAMENTO!");

bool ehColunaValor(ModoFaturamento modo, int c)
{
    if (modo == ModoFaturamento::Municipio)
        return c >= colmun::Bruto && c <= colmun::Liquido;
    return c >= colent::Bruto && c <= colent::Csll;
}

TPersonBtn* novoBotao(QWidget* pai, const char* nome, const QString& texto, QLayout* onde)
{
    auto* b = new TPersonBtn(texto, pai);
    b->setObjectName(QString::fromLatin1(nome));
    b->setVerRequeridos(false);
    onde->addWidget(b);
    return b;
}

} // namespace

TFFaturamento::TFFaturamento(ModoFaturamento modo, QWidget* parent)
    : TFBase(parent), m_modo(modo), m_regras(RegrasFaturamento::DoPerfil(SessaoAtual().PerfilConsorcio))
{
    using E = TPersonEdit;
    const bool mun = modo == ModoFaturamento::Municipio;
    setObjectName(QStringLiteral("TFFaturamento"));
    setWindowTitle(QStringLiteral("Faturamento de Serviços"));
    auto* raiz = new QVBoxLayout(this);

    m_lmodo = new QLabel(mun ? QStringLiteral("MUNICIPIO") : QStringLiteral("ENTIDADE"), this);
    m_lmodo->setObjectName(QStringLiteral("LModo"));
    QFont fm = m_lmodo->font();
    fm.setBold(true);
    fm.setPointSizeF(fm.pointSizeF() * 1.2);
    m_lmodo->setFont(fm);
    raiz->addWidget(m_lmodo);

    Formulario form(this);
    raiz->addLayout(form.novoForm());
    m_data1 = form.campo("PEData1", E::peData, QStringLiteral("Período:"), 0, Formulario::Requerido);
    m_data2 = form.campo("PEData2", E::peData, QStringLiteral("a "), 0, Formulario::Requerido | Formulario::MesmaLinha);
    m_emissao = form.campo("PEDataEmissao", E::peData, QStringLiteral("Data de Emissão:"), 0,
                           Formulario::Requerido | Formulario::MesmaLinha);
    m_vencimento = form.campo("PEDataVencimento", E::peData, QStringLiteral("Data de Vencimento:"), 0,
                              Formulario::MesmaLinha);
    form.fechaLinha();
    m_descTaxas = form.campo("PEDescTaxas", E::peTexto, QStringLiteral("Descrição p/ Cobrança das Taxas:"), 100);
    form.fechaLinha();
    m_descTaxas->setVisible(false);

    auto* botoes = new QHBoxLayout;
    raiz->addLayout(botoes);
    m_calcular = novoBotao(this, "PBCalcular", QStringLiteral("Consultar Fatura"), botoes);
    if (mun)
        m_calcularTaxas = novoBotao(this, "PBCalcularTaxas", QStringLiteral("Consultar Taxas"), botoes);
    m_editar = novoBotao(this, "PBEditarGrid", QStringLiteral("Editar Grid"), botoes);
    m_gravar = novoBotao(this, "PBtnGravar", QStringLiteral("&Gravar/Imprimir Fatura"), botoes);
    m_gravar->setVerRequeridos(true);
    if (mun) {
        m_rateio = novoBotao(this, "PBRateioSUS", QStringLiteral("Rateio Desc. SUS"), botoes);
        m_recibo = novoBotao(this, "PBRecibo", QStringLiteral("Recibos"), botoes);
        m_boletos = novoBotao(this, "PBBoletos", QStringLiteral("Boletos"), botoes);
        m_recibo->setVerRequeridos(true);
        m_boletos->setVerRequeridos(true);
    }
    m_excel = novoBotao(this, "PBExcel", QStringLiteral("Transferir para Excel"), botoes);
    m_relMunicipio = novoBotao(this, "PBRelMunicipio", mun ? QStringLiteral("Rel. Município") : QStringLiteral("Rel. Entidade"),
                               botoes);
    if (!mun) {
        m_listarMunics = new QCheckBox(QStringLiteral("Listar Municipios c/ Mais Atendimentos"), this);
        m_listarMunics->setObjectName(QStringLiteral("CBListarMunics"));
        botoes->addWidget(m_listarMunics);
    }
    botoes->addStretch(1);

    m_mensagem = new QLabel(this);
    m_mensagem->setObjectName(QStringLiteral("LMensagem"));
    QFont fmsg = m_mensagem->font();
    fmsg.setBold(true);
    m_mensagem->setFont(fmsg);
    m_mensagem->setStyleSheet(QStringLiteral("color: #a00000"));
    raiz->addWidget(m_mensagem);

    const QStringList titulos = TitulosGradeFaturamento(modo);
    m_sg = new QTableWidget(0, mun ? 10 : titulos.size(), this);
    m_sg->setObjectName(QStringLiteral("SG"));
    m_sg->setHorizontalHeaderLabels(titulos);
    m_sg->verticalHeader()->setVisible(false);
    m_sg->verticalHeader()->setDefaultSectionSize(m_sg->fontMetrics().height() + 6);
    m_sg->setSelectionMode(QAbstractItemView::SingleSelection);
    m_sg->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_sg->setAlternatingRowColors(true);
    if (mun) {
        // Two spare columns of the layout are kept hidden.
        m_sg->setColumnHidden(8, true);
        m_sg->setColumnHidden(9, true);
        m_sg->setColumnWidth(colmun::Codigo, 70);
        m_sg->setColumnWidth(colmun::Nome, 200);
        for (int c = colmun::Bruto; c <= colmun::AcrescDesc; ++c)
            m_sg->setColumnWidth(c, 70);
        m_sg->setColumnWidth(colmun::Liquido, 75);
        m_sg->setColumnWidth(colmun::Obs, 370);
    } else {
        m_sg->setColumnWidth(colent::Codigo, 60);
        m_sg->setColumnWidth(colent::Nome, 350);
        for (int c = colent::Bruto; c <= colent::Csll; ++c)
            m_sg->setColumnWidth(c, 80);
        m_sg->setColumnWidth(colent::Nf, 80);
        m_sg->setColumnWidth(colent::Obs, 240);
    }
    // Headers are never cut; the window opens as wide as the grid when the screen allows.
    int largura = 0;
    const QFontMetrics fmh(m_sg->horizontalHeader()->font());
    for (int c = 0; c < m_sg->columnCount(); ++c) {
        if (m_sg->isColumnHidden(c))
            continue;
        m_sg->setColumnWidth(c, qMax(m_sg->columnWidth(c), fmh.horizontalAdvance(titulos.value(c)) + 16));
        largura += m_sg->columnWidth(c);
    }
    m_sg->setMinimumSize(900, 380);
    raiz->addWidget(m_sg, 1);
    m_totais = new QLabel(this);
    m_totais->setObjectName(QStringLiteral("LTotais"));
    m_totais->setFont(fmsg);
    raiz->addWidget(m_totais);
    resize(qMin(largura + 60, qMax(AreaTrabalho().width() - 20, 900)), 600);

    m_sg->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_menuConsultar = new QAction(QStringLiteral("Consultar Fatura"), m_sg);
    m_menuConsultar->setObjectName(QStringLiteral("ConsultarFatura1"));
    m_menuRecalcular = new QAction(QStringLiteral("(Re)Calcular Fatura"), m_sg);
    m_menuRecalcular->setObjectName(QStringLiteral("ReCalcularFatura1"));
    m_menuRecalcularTaxas = new QAction(QStringLiteral("(Re)Calcular Taxas Mensais"), m_sg);
    m_menuRecalcularTaxas->setObjectName(QStringLiteral("ReCalcularTaxasMensais1"));
    m_menuRecalcularTaxas->setVisible(mun);
    m_sg->addActions({m_menuConsultar, m_menuRecalcular, m_menuRecalcularTaxas});

    connect(m_calcular, &TPersonBtn::Acao, this, &TFFaturamento::PBCalcularClick);
    if (m_calcularTaxas)
        connect(m_calcularTaxas, &TPersonBtn::Acao, this, &TFFaturamento::PBCalcularTaxasClick);
    connect(m_editar, &TPersonBtn::Acao, this, &TFFaturamento::PBEditarGridClick);
    connect(m_gravar, &TPersonBtn::Acao, this, &TFFaturamento::PBtnGravarClick);
    connect(m_excel, &TPersonBtn::Acao, this, &TFFaturamento::PBExcelClick);
    connect(m_menuConsultar, &QAction::triggered, this, &TFFaturamento::ConsultarFatura1Click);
    connect(m_menuRecalcular, &QAction::triggered, this, &TFFaturamento::ReCalcularFatura1Click);
    connect(m_menuRecalcularTaxas, &QAction::triggered, this, &TFFaturamento::ReCalcularTaxasMensais1Click);
    // Screens of other subjects opened from here; disabled until they exist.
    for (auto [botao, tela] : {std::pair{m_rateio, telas::FaturamentoRateio}, {m_recibo, telas::FaturamentoRecibos},
                               {m_boletos, telas::FaturamentoBoletos}, {m_relMunicipio, telas::FaturamentoRelatorio}}) {
        if (!botao)
            continue;
        const QString nome = QString::fromLatin1(tela);
        connect(botao, &TPersonBtn::Acao, this, [this, nome] { abreOutraTela(nome); });
        if (!TemTela(nome)) {
            botao->setEnabled(false);
            botao->setToolTip(QStringLiteral("Ainda não disponível nesta versão"));
        }
    }
    connect(m_sg, &QTableWidget::currentCellChanged, this, [this] { RecalculaGrade(); });
    m_sg->installEventFilter(this);

    // Recalculation is offered only to users allowed to bill.
    bool pode = false;
    if (TDMCUNE* dm = DMCUNE()) {
        try {
            pode = PodeFaturar(dm->IBTLivre, SessaoAtual().UsuarioLogado);
        } catch (const std::exception& e) {
            MostraExcecao(e);
        }
    }
    m_menuRecalcular->setEnabled(pode);
    m_menuRecalcularTaxas->setEnabled(pode);

    const Calendario& cal = SessaoAtual().CalendarioAtual;
    if (!cal.inicio.isEmpty() && !cal.fim.isEmpty()) {
        m_data1->setText(cal.inicio);
        m_data2->setText(cal.fim);
    }
    m_emissao->setText(SessaoAtual().DataAtual);
}

TFFaturamento* TFFaturamento::Abre(ModoFaturamento modo)
{
    if (TFFaturamento* t = InstanciaTela<TFFaturamento>(); t && t->modo() != modo) {
        t->close();
        delete t;
    }
    TFFaturamento* t = MostraTela<TFFaturamento>(modo);
    t->m_data1->setFocus();
    return t;
}

bool TFFaturamento::eventFilter(QObject* obj, QEvent* ev)
{
    if (obj == m_sg && ev->type() == QEvent::FocusOut)
        RecalculaGrade();
    return TFBase::eventFilter(obj, ev);
}

QString TFFaturamento::codigoSelecionado() const
{
    const QTableWidgetItem* it = m_sg->currentRow() >= 0 ? m_sg->item(m_sg->currentRow(), 0) : nullptr;
    return it ? it->text().trimmed() : QString();
}

GradeFaturamento TFFaturamento::grade() const
{
    const int ncol = TitulosGradeFaturamento(m_modo).size();
    GradeFaturamento g;
    g.reserve(m_sg->rowCount());
    for (int r = 0; r < m_sg->rowCount(); ++r) {
        LinhaGrade l;
        for (int c = 0; c < ncol; ++c) {
            const QTableWidgetItem* it = m_sg->item(r, c);
            l.append(it ? it->text() : QString());
        }
        g.append(l);
    }
    return g;
}

void TFFaturamento::defineGrade(const GradeFaturamento& g)
{
    m_mostrando = true;
    const int ncol = TitulosGradeFaturamento(m_modo).size();
    m_sg->setRowCount(int(g.size()));
    for (int r = 0; r < g.size(); ++r) {
        for (int c = 0; c < ncol; ++c) {
            const QString texto = g[r].value(c);
            QTableWidgetItem* it = m_sg->item(r, c);
            if (!it) {
                it = new QTableWidgetItem;
                if (ehColunaValor(m_modo, c))
                    it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                if (c <= 2) {
                    it->setFlags(it->flags() & ~Qt::ItemIsEditable);
                    it->setBackground(palette().color(QPalette::Button));
                }
                m_sg->setItem(r, c, it);
            }
            if (it->text() != texto)
                it->setText(texto);
            if (c > 2)
                it->setData(Qt::BackgroundRole, QVariant());
        }
    }
    m_mostrando = false;
    atualizaTotais(g);
}

void TFFaturamento::atualizaTotais(const GradeFaturamento& g)
{
    const bool mun = m_modo == ModoFaturamento::Municipio;
    Decimal bruto = Decimal::cents(0), liquido = Decimal::cents(0), retido = Decimal::cents(0);
    for (const LinhaGrade& l : g) {
        if (l.value(0).trimmed().isEmpty())
            continue;
        try {
            const Decimal b = ValorCelula(l.value(2));
            bruto = bruto + b;
            if (mun) {
                liquido = liquido + ValorCelula(l.value(colmun::Liquido));
            } else {
                Decimal r = Decimal::cents(0);
                for (int c = colent::Irrf; c <= colent::Csll; ++c)
                    r = r + ValorCelula(l.value(c));
                retido = retido + r;
                liquido = liquido + b + ValorCelula(l.value(colent::AcrescDesc)) - r;
            }
        } catch (const ErroValor&) {
            m_totais->setText(QStringLiteral("Totais: há valores inválidos na grade"));
            return;
        }
    }
    m_totais->setText(g.isEmpty() ? QString()
                      : mun ? QStringLiteral("Totais:   Vlr.Bruto %1   Vlr.Liq. %2   (%3 municípios)")
                                  .arg(FormataMoeda(bruto), FormataMoeda(liquido))
                                  .arg(g.size())
                            : QStringLiteral("Totais:   Vlr.Bruto %1   Retenções %2   Vlr.Líquido %3   (%4 entidades)")
                                  .arg(FormataMoeda(bruto), FormataMoeda(retido), FormataMoeda(liquido))
                                  .arg(g.size()));
}

void TFFaturamento::RecalculaGrade()
{
    if (m_mostrando || m_sg->rowCount() == 0 || (!m_producao && !m_taxas))
        return;
    GradeFaturamento g = grade();
    CelulasInvalidas ruins;
    try {
        if (m_modo == ModoFaturamento::Municipio) {
            ruins = RecalculaLiquidos(g);
        } else {
            TDMCUNE* dm = DMCUNE();
            if (!dm)
                return;
            ruins = CalculaRetencoes(g, LeDadosFiscais(dm->IBTLivre), m_regras, LeData(m_data2->text()));
        }
    } catch (const std::exception& e) {
        MostraExcecao(e);
        return;
    }
    defineGrade(g);
    for (const QPoint& p : ruins)
        if (QTableWidgetItem* it = m_sg->item(p.y(), p.x()))
            it->setBackground(QColor(0xFF, 0xC0, 0xC0));
    if (!ruins.isEmpty())
        m_totais->setText(QStringLiteral("Totais: há valores inválidos na grade (em vermelho)"));
}

bool TFFaturamento::periodoValido()
{
    if (LeData(m_data1->text()).isValid() && LeData(m_data2->text()).isValid())
        return true;
    Avisa(QStringLiteral("Informe o período do faturamento."));
    (LeData(m_data1->text()).isValid() ? m_data2 : m_data1)->setFocus();
    return false;
}

void TFFaturamento::mostraGrade(const GradeFaturamento& g)
{
    m_sg->setRowCount(0);
    defineGrade(g);
    m_gravar->setEnabled(true);
    m_mensagem->setText(g.isEmpty() ? QStringLiteral("Nada a faturar no período.") : QString());
}

void TFFaturamento::falhaListagem(const std::exception& e)
{
    if (TDMCUNE* dm = DMCUNE())
        dm->IBTransaction.rollback();
    m_mensagem->setText(kProblemas);
    m_gravar->setEnabled(false);
    qWarning("billing listing failed: %s", qPrintable(TextoErro(e)));
}

void TFFaturamento::listaProducao()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !periodoValido())
        return;
    m_producao = true;
    m_taxas = false;
    m_descTaxas->setVisible(false);
    m_editar->setEnabled(true);
    m_mensagem->setText(QStringLiteral("Aguarde, processando..."));
    m_sg->setRowCount(0);
    Aguarde aguarde(this);
    try {
        PedidoFatura p;
        p.modo = m_modo;
        p.inicio = LeData(m_data1->text());
        p.fim = LeData(m_data2->text());
        p.recalcular = m_recalcular;
        p.regras = m_regras;
        mostraGrade(ListaFatura(dm->IBTransaction, p));
    } catch (const std::exception& e) {
        falhaListagem(e);
    }
}

void TFFaturamento::listaTaxas()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !periodoValido())
        return;
    m_taxas = true;
    m_producao = false;
    if (m_rateio)
        m_rateio->setVisible(false);
    m_descTaxas->setVisible(true);
    if (m_descTaxas->text().trimmed().isEmpty())
        m_descTaxas->setText(Ini().le(QStringLiteral("GERAL"), QStringLiteral("DESCTAXA")));
    m_editar->setEnabled(false);
    m_mensagem->setText(QStringLiteral("Aguarde, processando..."));
    m_sg->setRowCount(0);
    Aguarde aguarde(this);
    try {
        mostraGrade(ListaTaxas(dm->IBTransaction, LeData(m_data1->text()), LeData(m_data2->text()), m_recalcularTaxas));
    } catch (const std::exception& e) {
        falhaListagem(e);
    }
}

void TFFaturamento::PBCalcularClick() { listaProducao(); }

void TFFaturamento::ConsultarFatura1Click()
{
    m_recalcular = false;
    listaProducao();
}

void TFFaturamento::ReCalcularFatura1Click()
{
    m_recalcular = true;
    listaProducao();
}

void TFFaturamento::PBCalcularTaxasClick() { listaTaxas(); }

void TFFaturamento::ReCalcularTaxasMensais1Click()
{
    m_recalcularTaxas = true;
    listaTaxas();
}

void TFFaturamento::PBEditarGridClick()
{
    m_editavel = true;
    m_recalcular = true;
    m_sg->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                          | QAbstractItemView::AnyKeyPressed);
    m_sg->setFocus();
}

void TFFaturamento::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    if (m_recalcular || m_recalcularTaxas) {
        if (!LeData(m_emissao->text()).isValid() || !LeData(m_vencimento->text()).isValid()) {
            Avisa(MensagemDatasGravacao());
            m_emissao->setFocus();
            return;
        }
        RecalculaGrade();
        const bool recalcular = m_recalcular, recalcularTaxas = m_recalcularTaxas;
        m_recalcular = false;
        m_recalcularTaxas = false;
        GravacaoFatura g;
        g.modo = m_modo;
        g.taxas = m_taxas;
        g.inicio = m_data1->text();
        g.fim = m_data2->text();
        g.emissao = m_emissao->text();
        g.vencimento = m_vencimento->text();
        g.hoje = DataAtualDate();
        const GradeFaturamento linhas = grade();
        if (!ExecutaAcao(m_gravar, [&] { GravaFatura(dm->IBTransaction, g, linhas); })) {
            // Nothing was written: the grid can be corrected and saved again.
            m_recalcular = recalcular;
            m_recalcularTaxas = recalcularTaxas;
            return;
        }
    }
    imprime();
}

void TFFaturamento::imprime()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !periodoValido())
        return;
    PedidoDemonstrativo p;
    p.inicio = LeData(m_data1->text());
    p.fim = LeData(m_data2->text());
    p.entidades = m_modo == ModoFaturamento::Entidade;
    p.taxas = m_taxas;
    p.listarMunicipios = m_listarMunics && m_listarMunics->isChecked();
    p.perfil = SessaoAtual().PerfilConsorcio;
    SuspendeFechamento s(this);
    ExecutaAcao(m_gravar, [&] { Lendo(dm->IBTLivre, [&] { return TRFaturamento::Executa(dm->IBTLivre, p, this); }); });
}

void TFFaturamento::abreOutraTela(const QString& nome)
{
    if (const AbreTela abre = TelaRegistrada(nome)) {
        SuspendeFechamento s(this);
        abre();
    }
}

void TFFaturamento::PBExcelClick()
{
    RecalculaGrade();
    if (m_modo == ModoFaturamento::Municipio)
        exportaMunicipios();
    else
        exportaEntidades();
}

void TFFaturamento::exportaMunicipios()
{
    QVector<QStringList> celulas;
    for (const LinhaGrade& l : grade())
        celulas.append(l);
    QList<int> valores;
    for (int c = colmun::Bruto; c <= colmun::Liquido; ++c)
        valores.append(c);
    m_ultimaPlanilha = CaminhoPlanilha(QStringLiteral("Faturamento Municipios"), LeData(m_data1->text()),
                                       LeData(m_data2->text()));
    informaPlanilha(ExportaPlanilha(m_ultimaPlanilha, PlanilhaMunicipios(TitulosGradeFaturamento(m_modo), celulas, valores)));
}

void TFFaturamento::informaPlanilha(bool aberta)
{
    // Also when no program opened it, the clerk finds the file by its name.
    if (aberta || QFileInfo::exists(m_ultimaPlanilha))
        m_mensagem->setText(QStringLiteral("Planilha gravada em ") + QDir::toNativeSeparators(m_ultimaPlanilha));
}

QVector<bool> TFFaturamento::escolheColunas()
{
    QDialog dlg(this);
    dlg.setObjectName(QStringLiteral("PColunas"));
    dlg.setWindowTitle(QStringLiteral("Colunas a exportar:"));
    auto* raiz = new QVBoxLayout(&dlg);
    raiz->addWidget(new QLabel(QStringLiteral("Colunas a exportar:"), &dlg));
    auto* grade = new QGridLayout;
    raiz->addLayout(grade);
    const QStringList titulos = TitulosExportEntidades();
    QVector<QCheckBox*> caixas;
    for (int i = 0; i < titulos.size(); ++i) {
        auto* cb = new QCheckBox(titulos[i], &dlg);
        cb->setObjectName(QStringLiteral("CBCol%1").arg(i + 1));
        cb->setChecked(true);
        grade->addWidget(cb, i % 11, i / 11);
        caixas.append(cb);
    }
    auto* botoes = new QHBoxLayout;
    raiz->addLayout(botoes);
    botoes->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dlg);
    ok->setObjectName(QStringLiteral("BOK"));
    ok->setDefault(true);
    auto* fecha = new QPushButton(QStringLiteral("X"), &dlg);
    fecha->setObjectName(QStringLiteral("BFechar"));
    botoes->addWidget(ok);
    botoes->addWidget(fecha);
    connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    connect(fecha, &QPushButton::clicked, &dlg, &QDialog::reject);
    SuspendeFechamento s(this);
    if (ExecutaModal(&dlg) != QDialog::Accepted)
        return {};
    QVector<bool> marcadas;
    for (QCheckBox* cb : caixas)
        marcadas.append(cb->isChecked());
    return marcadas;
}

void TFFaturamento::exportaEntidades()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !periodoValido())
        return;
    const QVector<bool> marcadas = escolheColunas();
    if (marcadas.isEmpty())
        return;
    const QDate inicio = LeData(m_data1->text());
    const QDate fim = LeData(m_data2->text());
    QVector<LinhaExportEntidade> linhas;
    const bool comMunicipios = m_listarMunics && m_listarMunics->isChecked();
    const bool ok = ExecutaAcao(m_excel, [&] {
        Transacao& tr = dm->IBTLivre;
        QHash<QString, LinhaCadastro> cadastro;
        Lendo(tr, [&] {
            for (const LinhaCadastro& l : LeLinhas(tr, QStringLiteral("select CODIGO, CODCONTABIL, BANCO, INFOBANC, ISENTOIR, "
                                                                     "SIMPLESNAC, EMAIL from ENTIDADES")))
                cadastro.insert(l.texto(QStringLiteral("CODIGO")).trimmed(), l);
            for (const LinhaGrade& g : grade()) {
                if (g.value(colent::Codigo).trimmed().isEmpty())
                    continue;
                const LinhaCadastro e = cadastro.value(g[colent::Codigo].trimmed());
                LinhaExportEntidade l;
                l.codigo = g[colent::Codigo].trimmed();
                l.razaoSocial = g[colent::Nome];
                l.codContabil = e.texto(QStringLiteral("CODCONTABIL"));
                l.banco = e.texto(QStringLiteral("BANCO"));
                l.infoBanc = e.texto(QStringLiteral("INFOBANC"));
                l.bruto = ValorCelula(g[colent::Bruto]);
                l.acrescDesc = ValorCelula(g[colent::AcrescDesc]);
                l.irrf = ValorCelula(g[colent::Irrf]);
                l.cofins = ValorCelula(g[colent::Cofins]);
                l.tarifa = ValorCelula(g[colent::Tarifa]);
                l.issqn = ValorCelula(g[colent::Issqn]);
                l.pis = ValorCelula(g[colent::Pis]);
                l.csll = ValorCelula(g[colent::Csll]);
                l.isentoIr = e.texto(QStringLiteral("ISENTOIR"));
                l.simplesNac = e.texto(QStringLiteral("SIMPLESNAC"));
                l.nf = g[colent::Nf];
                l.obs = g[colent::Obs];
                l.email = e.texto(QStringLiteral("EMAIL"));
                if (comMunicipios)
                    l.municipios = MunicipiosMaisAtendidos(tr, l.codigo.toLongLong(), inicio, fim);
                linhas.append(l);
            }
            return 0;
        });
    });
    if (!ok)
        return;
    m_ultimaPlanilha = CaminhoPlanilha(QStringLiteral("Faturamento Entidades"), inicio, fim);
    informaPlanilha(ExportaPlanilha(m_ultimaPlanilha, PlanilhaEntidades(linhas, marcadas)));
}

} // namespace vx
