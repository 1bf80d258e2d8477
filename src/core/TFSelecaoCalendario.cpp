#include "core/TFSelecaoCalendario.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/widgets/TPersonBtn.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(SeleodoCalendrioAtual1, [] { TFSelecaoCalendario::Abre(); });

TFSelecaoCalendario::TFSelecaoCalendario(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFSelecaoCalendario"));
    setWindowTitle(QStringLiteral("Seleção de Calendário"));
    auto* v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QStringLiteral("Selecione o calendário atual:"), this));
    m_lista = new QComboBox(this);
    m_lista->setObjectName(QStringLiteral("CBCalendario"));
    m_lista->setMinimumWidth(380);
    v->addWidget(m_lista);
    auto* confirmar = new TPersonBtn(QStringLiteral("&Confirmar"), this);
    confirmar->setObjectName(QStringLiteral("PBtnConfirmar"));
    v->addWidget(confirmar, 0, Qt::AlignRight);
    connect(confirmar, &TPersonBtn::Acao, this, &TFSelecaoCalendario::PBtnConfirmarClick);

    if (DMCUNE()) {
        ExecutaAcao(nullptr, [&] {
            Transacao* tr = transacaoLeitura();
            m_itens = ListaCalendarios(*tr);
            tr->rollback();
        });
    }
    for (const ItemCalendario& it : m_itens) {
        m_lista->addItem(it.texto());
        if (it.selecionado)
            m_lista->setCurrentIndex(m_lista->count() - 1);
    }
    if (!std::any_of(m_itens.cbegin(), m_itens.cend(), [](const ItemCalendario& i) { return i.selecionado; }))
        m_lista->setCurrentIndex(-1);
}

void TFSelecaoCalendario::Abre()
{
    if (InstanciaTela<TFSelecaoCalendario>())
        return;
    ExecutaTelaModal(CriaTela<TFSelecaoCalendario>());
}

void TFSelecaoCalendario::PBtnConfirmarClick()
{
    const int i = m_lista->currentIndex();
    if (i < 0 || i >= m_itens.size()) {
        MostraErro(QStringLiteral("Informe um período!"));
        m_lista->setFocus();
        return;
    }
    ExecutaAcao(nullptr, [&] { SelecionaCalendario(DMCUNE()->IBTransaction, m_itens[i]); });
}

} // namespace vx
