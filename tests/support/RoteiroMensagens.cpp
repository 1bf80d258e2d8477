#include "support/RoteiroMensagens.h"
#include "core/widgets/UiMensagens.h"

#include <QCoreApplication>
#include <QDialog>

namespace vx::test {

RoteiroMensagens::RoteiroMensagens()
    : m_anterior(ManipuladorAtual())
{
    DefineManipuladorMensagens(this);
}

RoteiroMensagens::~RoteiroMensagens()
{
    DefineManipuladorMensagens(m_anterior);
}

int RoteiroMensagens::mostra(const PedidoMsg& pedido)
{
    m_msgs.append({pedido.titulo, pedido.texto, pedido.icone, pedido.botoes, pedido.padrao});
    const int n = pedido.botoes.isEmpty() ? 1 : int(pedido.botoes.size());
    if (!m_respostas.isEmpty()) {
        const int r = m_respostas.dequeue();
        if (r >= 0 && r < n)
            return r;
    }
    return pedido.padrao;
}

QStringList RoteiroMensagens::textos() const
{
    QStringList r;
    for (const auto& m : m_msgs)
        r << m.texto;
    return r;
}

QString Resumo(const MensagemVista& m)
{
    return m.titulo + QLatin1Char('|') + m.texto + QLatin1Char('|') + QString::number(m.padrao);
}

QString PerguntaExclusao(const QString& texto)
{
    return QStringLiteral("Confirmação ...|") + texto + QStringLiteral("|1");
}

RoteiroModal::RoteiroModal(std::function<void(QDialog*)> roteiro)
    : m_roteiro(std::move(roteiro))
{
    m_anterior = DefineExecutorModal([this](QDialog* dlg) {
        ++m_chamadas;
        dlg->setResult(QDialog::Rejected);
        dlg->show();
        QCoreApplication::processEvents();
        if (m_roteiro)
            m_roteiro(dlg);
        if (dlg->isVisible())
            dlg->reject();
        QCoreApplication::processEvents();
        return dlg->result();
    });
}

RoteiroModal::~RoteiroModal()
{
    DefineExecutorModal(m_anterior);
}

} // namespace vx::test
