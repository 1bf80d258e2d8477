#include "reports/TFFiltroRelatorio.h"
#include "core/Mensagens.h"
#include "core/widgets/TPersonBtn.h"
#include "reports/UiPreview.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx {

QString MensagemRelatorioVazio() { return QStringLiteral("Nenhum registro encontrado para os filtros informados."); }

TFFiltroRelatorio::TFFiltroRelatorio(const char* nome, const QString& legenda, QWidget* parent)
    : TFBase(parent), m_form(this)
{
    setObjectName(QLatin1String(nome));
    setWindowTitle(legenda);
    auto* lay = new QVBoxLayout(this);
    m_corpo = new QVBoxLayout;
    lay->addLayout(m_corpo);
    PBtnImprimir = new TPersonBtn(QStringLiteral("&Imprimir"), this);
    PBtnImprimir->setObjectName(QStringLiteral("PBtnImprimir"));
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(PBtnImprimir);
    lay->addLayout(botoes);
    connect(PBtnImprimir, &TPersonBtn::Acao, this, [this] { PBtnImprimirClick(); });
}

QPair<QRadioButton*, QRadioButton*> TFFiltroRelatorio::ordemCodigoNome()
{
    auto* ordem = new QGroupBox(QStringLiteral(" Ordem: "), this);
    auto* codigo = new QRadioButton(QStringLiteral("Código"), ordem);
    auto* nome = new QRadioButton(QStringLiteral("Nome"), ordem);
    codigo->setObjectName(QStringLiteral("RBCodigo"));
    nome->setObjectName(QStringLiteral("RBNome"));
    codigo->setChecked(true);
    auto* l = new QHBoxLayout(ordem);
    l->addWidget(codigo);
    l->addWidget(nome);
    l->addStretch(1);
    m_corpo->addWidget(ordem);
    return {codigo, nome};
}

void TFFiltroRelatorio::PBtnImprimirClick()
{
    ExecutaAcao(PBtnImprimir, [this] {
        if (!valida())
            return;
        SuspendeFechamento s(this);
        std::shared_ptr<rel::Documento> doc;
        {
            Aguarde aguarde(this, QStringLiteral("Aguarde, gerando relatório..."));
            doc = gera(*transacaoLeitura());
        }
        if (!doc)
            return;
        if (doc->linhas() == 0) {
            Informa(MensagemRelatorioVazio());
            return;
        }
        rel::MostraPreview(doc, tituloPreview(), this);
    });
}

} // namespace vx
