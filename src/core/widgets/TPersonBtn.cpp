#include "core/widgets/TPersonBtn.h"
#include "core/Mensagens.h"
#include "core/widgets/TPersonEdit.h"

#include <QApplication>

#include <algorithm>

namespace vx {

TPersonBtn::TPersonBtn(QWidget* parent)
    : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, &TPersonBtn::executa);
}

TPersonBtn::TPersonBtn(const QString& texto, QWidget* parent)
    : TPersonBtn(parent)
{
    setText(texto);
}

QWidget* TPersonBtn::tela() const
{
    return m_tela ? m_tela : window();
}

bool TPersonBtn::VerificaRequeridos(QWidget* tela)
{
    if (!tela)
        return true;
    QList<TPersonEdit*> campos = tela->findChildren<TPersonEdit*>();
    std::stable_sort(campos.begin(), campos.end(), [](TPersonEdit* a, TPersonEdit* b) {
        return a->property("vxOrdemComponente").toULongLong() < b->property("vxOrdemComponente").toULongLong();
    });
    for (TPersonEdit* c : campos) {
        try {
            c->verificaRequerido();
        } catch (const ErroCampo& e) {
            MostraErro(e.texto());
            return false;
        }
    }
    return true;
}

void TPersonBtn::executa()
{
    if (!isEnabled())
        return;
    // A click that took the focus from a field whose validation failed does not act.
    if (auto* campo = qobject_cast<TPersonEdit*>(QApplication::focusWidget());
        campo && campo->emErro() && campo->validar() && !campo->textoValido())
        return;
    if (m_verRequeridos && !VerificaRequeridos(tela()))
        return;
    switch (m_tipo) {
    case Fechar:
        if (QWidget* t = tela())
            t->close();
        break;
    case Ajuda:
        break; // no help files
    case Normal:
        emit Acao();
        break;
    }
}

void TPersonBtn::focusInEvent(QFocusEvent* ev)
{
    if (!m_temFundo) {
        m_paletaSalva = palette();
        m_temFundo = true;
    }
    QPalette p = palette();
    p.setColor(QPalette::Button, m_corDestaque);
    setPalette(p);
    QPushButton::focusInEvent(ev);
}

void TPersonBtn::focusOutEvent(QFocusEvent* ev)
{
    if (m_temFundo) {
        setPalette(m_paletaSalva);
        m_temFundo = false;
    }
    QPushButton::focusOutEvent(ev);
}

} // namespace vx
