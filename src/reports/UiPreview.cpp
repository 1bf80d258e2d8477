#include "reports/UiPreview.h"
#include "core/Configuracao.h"
#include "core/Utilitarios.h"
#include "billing/Planilha.h"
#include "core/Mensagens.h"
#include "core/widgets/UiMensagens.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QPushButton>
#include <QScrollArea>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx::rel {

// The page on the screen, painted from the document's commands at the current zoom.
class VistaPagina : public QWidget {
public:
    explicit VistaPagina(UiPreview* p) : QWidget(p), m_p(p) { setAttribute(Qt::WA_OpaquePaintEvent); }

    QSize tamanhoPagina() const
    {
        const QSizeF t = m_p->documento().numPaginas() ? m_p->documento().tamanho(m_p->paginaAtual())
                                                        : QSizeF(mm(210), mm(297));
        const double f = escala();
        return QSize(qRound(t.width() * f), qRound(t.height() * f));
    }

    double escala() const { return m_p->zoom() * logicalDpiX() / kDpi; }

    static constexpr int kBorda = 12;
    // Room around the sheet: the border on both sides and the shadow.
    static constexpr int kMargem = 2 * kBorda + 4;

    QSize sizeHint() const override { return tamanhoPagina() + QSize(2 * kBorda, 2 * kBorda); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        const QSize t = tamanhoPagina();
        const QRect folha((width() - t.width()) / 2, kBorda, t.width(), t.height());
        p.fillRect(folha.translated(3, 3), Qt::black);
        p.fillRect(folha, Qt::white);
        if (m_p->documento().numPaginas() == 0)
            return;
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setClipRect(folha);
        p.translate(folha.topLeft());
        p.scale(escala(), escala());
        m_p->documento().desenha(p, m_p->paginaAtual());
        ++m_p->m_desenhadas;
    }

private:
    UiPreview* m_p;
};

namespace {
// A tool button; with an icon the caption goes to the tooltip only, keeping the bar narrow.
QToolButton* botao(QWidget* pai, const QString& texto, QStyle::StandardPixmap icone = QStyle::SP_CustomBase)
{
    auto* b = new QToolButton(pai);
    b->setText(texto);
    b->setToolTip(QString(texto).remove(QLatin1Char('&')));
    if (icone != QStyle::SP_CustomBase) {
        b->setIcon(pai->style()->standardIcon(icone));
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    b->setAutoRaise(true);
    return b;
}
} // namespace

UiPreview::UiPreview(std::shared_ptr<const Documento> doc, const QString& titulo, QWidget* pai)
    : QDialog(pai), m_doc(std::move(doc))
{
    setObjectName(QStringLiteral("UiPreview"));
    setWindowTitle(titulo.isEmpty() ? QStringLiteral("Visualização de Impressão") : titulo);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);

    auto* barra = new QWidget(this);
    auto* hb = new QHBoxLayout(barra);
    hb->setContentsMargins(4, 2, 4, 2);
    auto* bPrimeira = botao(barra, QStringLiteral("Primeira"), QStyle::SP_MediaSkipBackward);
    auto* bAnterior = botao(barra, QStringLiteral("Anterior"), QStyle::SP_MediaSeekBackward);
    m_spinPagina = new QSpinBox(barra);
    m_spinPagina->setObjectName(QStringLiteral("spinPagina"));
    m_spinPagina->setRange(1, qMax(1, m_doc->numPaginas()));
    m_total = new QLabel(barra);
    auto* bProxima = botao(barra, QStringLiteral("Próxima"), QStyle::SP_MediaSeekForward);
    auto* bUltima = botao(barra, QStringLiteral("Última"), QStyle::SP_MediaSkipForward);
    auto* bMenos = botao(barra, QStringLiteral("-"));
    bMenos->setObjectName(QStringLiteral("PBMenos"));
    m_zoomTexto = new QLabel(barra);
    auto* bMais = botao(barra, QStringLiteral("+"));
    bMais->setObjectName(QStringLiteral("PBMais"));
    m_largura = botao(barra, QStringLiteral("Largura"));
    m_largura->setObjectName(QStringLiteral("PBLargura"));
    m_largura->setToolTip(QStringLiteral("Largura da página"));
    m_largura->setCheckable(true);
    auto* bImprimir = botao(barra, QStringLiteral("&Imprimir"), QStyle::SP_DialogSaveButton);
    bImprimir->setObjectName(QStringLiteral("PBImprimir"));
    bImprimir->setIcon(QIcon());
    bImprimir->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* bPdf = botao(barra, QStringLiteral("Salvar &PDF"));
    bPdf->setObjectName(QStringLiteral("PBPdf"));
    auto* bPlanilha = botao(barra, QStringLiteral("Planilha"));
    bPlanilha->setObjectName(QStringLiteral("PBPlanilha"));
    bPlanilha->setToolTip(QStringLiteral("Salvar como planilha (XLSX)"));
    bPlanilha->setEnabled(m_doc->temPlanilha());
    auto* bFechar = botao(barra, QStringLiteral("&Fechar"));
    for (QWidget* w : std::initializer_list<QWidget*>{bPrimeira, bAnterior, m_spinPagina, m_total, bProxima, bUltima})
        hb->addWidget(w);
    hb->addSpacing(16);
    for (QWidget* w : std::initializer_list<QWidget*>{bMenos, m_zoomTexto, bMais, m_largura})
        hb->addWidget(w);
    hb->addSpacing(16);
    hb->addWidget(bImprimir);
    hb->addWidget(bPdf);
    hb->addWidget(bPlanilha);
    if (m_doc->numPaginas() == 0) {
        // An empty preview opens saved reports (PDF) in the desktop's viewer.
        auto* bAbrir = botao(barra, QStringLiteral("&Abrir..."));
        bAbrir->setObjectName(QStringLiteral("PBAbrir"));
        hb->addWidget(bAbrir);
        connect(bAbrir, &QToolButton::clicked, this, [this] {
            const QString arquivo = PerguntaArquivoAbrir(this, QStringLiteral("Abrir relatório"), PastaInstalacao(),
                                                         QStringLiteral("Relatórios PDF (*.pdf *.PDF);;Todos os Arquivos (*)"));
            if (!arquivo.isEmpty() && !IniciaPrograma(QStringLiteral("xdg-open"), {arquivo}))
                MostraErro(QStringLiteral("Não foi possível abrir o arquivo ") + arquivo);
        });
    }
    hb->addStretch();
    hb->addWidget(bFechar);

    m_vista = new VistaPagina(this);
    m_area = new QScrollArea(this);
    m_area->setWidget(m_vista);
    m_area->setAlignment(Qt::AlignHCenter);
    m_area->setBackgroundRole(QPalette::Dark);
    // The viewport is resized after the scroll area has laid itself out.
    m_area->viewport()->installEventFilter(this);

    auto* vb = new QVBoxLayout(this);
    vb->setContentsMargins(0, 0, 0, 0);
    vb->setSpacing(0);
    vb->addWidget(barra);
    vb->addWidget(m_area, 1);

    connect(bPrimeira, &QToolButton::clicked, this, [this] { irPara(0); });
    connect(bAnterior, &QToolButton::clicked, this, [this] { irPara(m_pagina - 1); });
    connect(bProxima, &QToolButton::clicked, this, [this] { irPara(m_pagina + 1); });
    connect(bUltima, &QToolButton::clicked, this, [this] { irPara(m_doc->numPaginas() - 1); });
    connect(m_spinPagina, &QSpinBox::valueChanged, this, [this](int v) { irPara(v - 1); });
    connect(bMenos, &QToolButton::clicked, this, [this] { defineZoom(m_zoom / 1.25); });
    connect(bMais, &QToolButton::clicked, this, [this] { defineZoom(m_zoom * 1.25); });
    connect(m_largura, &QToolButton::clicked, this, &UiPreview::ajustaLargura);
    connect(bImprimir, &QToolButton::clicked, this, &UiPreview::imprimir);
    connect(bPdf, &QToolButton::clicked, this, &UiPreview::salvarPdf);
    connect(bPlanilha, &QToolButton::clicked, this, &UiPreview::salvarPlanilha);
    connect(bFechar, &QToolButton::clicked, this, &QDialog::accept);

    resize(1000, 760);
    atualiza();
}

void UiPreview::atualiza()
{
    const QSignalBlocker b(m_spinPagina);
    m_spinPagina->setValue(m_pagina + 1);
    m_total->setText(QStringLiteral("de %1").arg(m_doc->numPaginas()));
    m_zoomTexto->setText(QStringLiteral("%1%").arg(qRound(m_zoom * 100)));
    m_largura->setChecked(m_naLargura);
    m_vista->resize(m_vista->sizeHint().expandedTo(QSize(larguraUtil(), 0)));
    m_vista->update();
}

void UiPreview::irPara(int pagina)
{
    const int n = m_doc->numPaginas();
    pagina = qBound(0, pagina, qMax(0, n - 1));
    if (pagina != m_pagina) {
        m_pagina = pagina;
        m_area->verticalScrollBar()->setValue(0);
    }
    if (m_naLargura)
        aplicaLargura(); // pages may differ in width (portrait and landscape)
    atualiza();
}

void UiPreview::keyPressEvent(QKeyEvent* ev)
{
    switch (ev->key()) {
    case Qt::Key_PageDown:
        irPara(m_pagina + 1);
        return;
    case Qt::Key_PageUp:
        irPara(m_pagina - 1);
        return;
    case Qt::Key_Home:
        if (ev->modifiers() & Qt::ControlModifier) {
            irPara(0);
            return;
        }
        break;
    case Qt::Key_End:
        if (ev->modifiers() & Qt::ControlModifier) {
            irPara(m_doc->numPaginas() - 1);
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(ev);
}

bool UiPreview::eventFilter(QObject* obj, QEvent* ev)
{
    if (obj == m_area->viewport() && ev->type() == QEvent::Resize) {
        if (m_naLargura)
            aplicaLargura();
        atualiza();
    }
    return QDialog::eventFilter(obj, ev);
}

void UiPreview::aplicaZoom(double z)
{
    m_zoom = qBound(0.2, z, 5.0);
}

void UiPreview::defineZoom(double z)
{
    m_naLargura = false;
    aplicaZoom(z);
    atualiza();
}

void UiPreview::ajustaLargura()
{
    m_naLargura = true;
    aplicaLargura();
    atualiza();
}

int UiPreview::larguraUtil() const
{
    // Counted without the vertical scroll bar, whether shown or not, so that the bar appearing
    // changes neither the zoom nor the width of the page view.
    return m_area->width() - 2 * m_area->frameWidth()
        - m_area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_area);
}

void UiPreview::aplicaLargura()
{
    if (!m_doc->numPaginas())
        return;
    const int largura = larguraUtil() - VistaPagina::kMargem;
    const double larguraPagina = m_doc->tamanho(m_pagina).width() * logicalDpiX() / kDpi;
    if (largura > 0 && larguraPagina > 0)
        aplicaZoom(largura / larguraPagina);
}

bool UiPreview::imprimeEm(QPrinter& impressora, int primeira, int ultima)
{
    impressora.setFullPage(true);
    const bool ok = DesenhaDocumento(*m_doc, impressora, primeira, ultima);
    m_imprimiu = m_imprimiu || ok;
    if (!ok)
        m_falhou = true;
    return ok;
}

bool UiPreview::exportaPdf(const QString& arquivo)
{
    QString erro;
    if (GravaPdf(*m_doc, arquivo, &erro))
        return true;
    MostraErro(QStringLiteral("Não foi possível gravar o arquivo %1.\n%2").arg(arquivo, erro));
    return false;
}

bool UiPreview::exportaPlanilha(const QString& arquivo)
{
    QString erro;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = GravaPlanilha(arquivo, PlanilhaDoDocumento(*m_doc), &erro);
    QApplication::restoreOverrideCursor();
    if (!ok)
        MostraErro(QStringLiteral("Não foi possível gravar a planilha.\n%1").arg(erro));
    return ok;
}

void UiPreview::imprimir()
{
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setDocName(windowTitle());
    QPrintDialog dlg(&impressora, this);
    dlg.setMinMax(1, qMax(1, m_doc->numPaginas()));
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (ExecutaModal(&dlg) != QDialog::Accepted)
        return;
    int primeira = 0, ultima = -1;
    if (impressora.printRange() == QPrinter::PageRange) {
        primeira = impressora.fromPage() - 1;
        ultima = impressora.toPage() - 1;
    } else if (impressora.printRange() == QPrinter::CurrentPage) {
        primeira = ultima = m_pagina;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = imprimeEm(impressora, primeira, ultima);
    QApplication::restoreOverrideCursor();
    if (!ok)
        MostraErro(QStringLiteral("Não foi possível imprimir o relatório."));
}

void UiPreview::salvarPdf()
{
    QString arquivo;
    {
        GuardaModal g;
        arquivo = QFileDialog::getSaveFileName(this, QStringLiteral("Salvar como PDF"), QString(),
                                               QStringLiteral("Arquivos PDF (*.pdf *.PDF)"));
    }
    if (arquivo.isEmpty())
        return;
    if (!arquivo.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        arquivo += QLatin1String(".pdf");
    exportaPdf(arquivo);
}

void UiPreview::salvarPlanilha()
{
    if (!m_doc->temPlanilha())
        return;
    // The report's title as the file name, without what a file name cannot hold.
    QString nome = windowTitle().trimmed();
    static const QRegularExpression proibidos(QStringLiteral("[\\\\/:*?\"<>|]"));
    nome.replace(proibidos, QStringLiteral("-"));
    const QString arquivo = PerguntaArquivoSalvar(this, QStringLiteral("Salvar como planilha"), PastaPlanilhas(),
                                                  nome + QStringLiteral(".xlsx"),
                                                  QStringLiteral("Planilhas (*.xlsx *.XLSX)"), QStringLiteral("xlsx"));
    if (!arquivo.isEmpty())
        exportaPlanilha(arquivo);
}

bool MostraPreview(std::shared_ptr<const Documento> doc, const QString& titulo, QWidget* pai)
{
    UiPreview p(std::move(doc), titulo, pai);
    // Placed on its screen first, so that the dialog does not centre itself (maximized) over the
    // window it belongs to.
    if (const QScreen* s = pai ? pai->screen() : QGuiApplication::primaryScreen())
        p.move(s->availableGeometry().topLeft());
    p.setWindowState(p.windowState() | Qt::WindowMaximized);
    ExecutaModal(&p);
    return !p.falhouImpressao();
}

bool MostraRelatorio(const QVector<Parte*>& partes, const QString& titulo, QWidget* pai)
{
    QProgressDialog progresso(QStringLiteral("Aguarde, gerando relatório..."), QStringLiteral("Cancelar"), 0, 0, pai);
    progresso.setWindowTitle(titulo);
    progresso.setWindowModality(Qt::ApplicationModal);
    progresso.setMinimumDuration(700);
    std::shared_ptr<Documento> doc;
    try {
        doc = MontaDocumento(partes, [&progresso](qint64 linhas) {
            progresso.setLabelText(QStringLiteral("Aguarde, gerando relatório... (%1 linhas)").arg(linhas));
            progresso.setValue(0);
            QCoreApplication::processEvents();
            return !progresso.wasCanceled();
        });
    } catch (const Cancelado&) {
        return false;
    }
    progresso.close();
    return MostraPreview(doc, titulo, pai);
}

bool MostraRelatorio(Parte& parte, const QString& titulo, QWidget* pai)
{
    return MostraRelatorio(QVector<Parte*>{&parte}, titulo, pai);
}

} // namespace vx::rel
