#include "core/TFSplash.h"
#include "core/UVariaveis.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace vx {

QString TituloProduto()
{
    return QStringLiteral("VORNEX");
}

QString TituloCompleto()
{
    return QStringLiteral("VORNEX - Gestão do Consórcio Intermunicipal de Saúde");
}

TFSplash::TFSplash(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TFSplash"));
    setWindowTitle(QStringLiteral("Inicializando Sistema..."));
    auto* lay = new QVBoxLayout(this);
    auto* titulo = new QLabel(TituloCompleto(), this);
    QFont f = titulo->font();
    f.setPointSize(f.pointSize() + 4);
    f.setBold(true);
    titulo->setFont(f);
    titulo->setAlignment(Qt::AlignCenter);
    auto* versao = new QLabel(QStringLiteral("Versão ") + QLatin1String(VersaoPrograma), this);
    versao->setAlignment(Qt::AlignCenter);
    m_linha = new QLabel(QStringLiteral("Carregando o aplicativo, aguarde..."), this);
    m_linha->setObjectName(QStringLiteral("LLinha"));
    m_gauge = new QProgressBar(this);
    m_gauge->setRange(0, 10);
    m_gauge->setValue(0);
    lay->addWidget(titulo);
    lay->addWidget(versao);
    lay->addSpacing(12);
    lay->addWidget(m_linha);
    lay->addWidget(m_gauge);
    resize(460, 170);
}

void TFSplash::setLinha(const QString& texto)
{
    m_linha->setText(texto);
    if (isVisible())
        repaint();
    QCoreApplication::processEvents();
}

QString TFSplash::linha() const
{
    return m_linha->text();
}

void TFSplash::avanca()
{
    m_gauge->setValue(qMin(m_gauge->maximum(), m_gauge->value() + 1));
    QCoreApplication::processEvents();
}

int TFSplash::posicao() const
{
    return m_gauge->value();
}

void TFSplash::escondeGauge()
{
    m_gauge->hide();
}

} // namespace vx
