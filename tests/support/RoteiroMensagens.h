#pragma once
// Test side of the message place: records every message and answers from a queue; and a hook
// that runs modal dialogs through a test callback instead of exec().
#include "core/Mensagens.h"

#include <QList>
#include <QQueue>

#include <functional>

class QDialog;

namespace vx::test {

struct MensagemVista {
    QString titulo;
    QString texto;
    IconeMsg icone = IconeMsg::Nenhum;
    QStringList botoes;
    int padrao = 0;
};

// Installs itself as the message handler for its lifetime (the previous one is restored).
// Questions are answered from the queue; when it is empty the preselected button is chosen.
class RoteiroMensagens : public ManipuladorMensagens {
public:
    RoteiroMensagens();
    ~RoteiroMensagens() override;

    int mostra(const PedidoMsg& pedido) override;

    void responde(int indiceBotao) { m_respostas.enqueue(indiceBotao); }
    void respondeSim() { responde(0); }  // Confirma: 0 = Sim
    void respondeNao() { responde(1); }

    const QList<MensagemVista>& mensagens() const { return m_msgs; }
    int quantidade() const { return int(m_msgs.size()); }
    MensagemVista ultima() const { return m_msgs.isEmpty() ? MensagemVista{} : m_msgs.last(); }
    QStringList textos() const;
    void limpa() { m_msgs.clear(); m_respostas.clear(); }

private:
    QList<MensagemVista> m_msgs;
    QQueue<int> m_respostas;
    ManipuladorMensagens* m_anterior;
};

// "title|text|index of the preselected button" of a message, to check a question in one comparison.
QString Resumo(const MensagemVista& m);
// That summary for the registries' deletion question (title "Confirmação ...", No preselected).
QString PerguntaExclusao(const QString& texto = QStringLiteral("Deseja realmente excluir?"));

// While it lives, every vx::ExecutaModal(dlg) shows the dialog (not modally), calls `roteiro(dlg)`
// and returns dlg->result(); a dialog still visible after the callback is rejected first.
// The callback drives the dialog (type, click, dlg->accept() / dlg->done(n)).
class RoteiroModal {
public:
    explicit RoteiroModal(std::function<void(QDialog*)> roteiro);
    ~RoteiroModal();
    int chamadas() const { return m_chamadas; }
    // Swap the callback for the next dialogs.
    void define(std::function<void(QDialog*)> roteiro) { m_roteiro = std::move(roteiro); }

private:
    std::function<void(QDialog*)> m_roteiro;
    std::function<int(QDialog*)> m_anterior;
    int m_chamadas = 0;
};

} // namespace vx::test
