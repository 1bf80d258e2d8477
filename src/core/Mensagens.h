#pragma once
// The one place that shows messages and asks questions. The UI installs a handler that shows
// message boxes; tests install one that records what was shown and answers from a script;
// without a handler (batch use) messages go to stderr and questions take their default.
#include <QString>
#include <QStringList>

namespace vx {

enum class IconeMsg { Nenhum, Informacao, Aviso, Erro, Pergunta };

struct PedidoMsg {
    QString titulo;
    QString texto;
    IconeMsg icone = IconeMsg::Nenhum;
    QStringList botoes;   // captions; empty = a single "OK"
    int padrao = 0;       // index of the preselected button
    int cancelar = -1;    // index returned when the box is closed (Escape); -1 = padrao
};

class ManipuladorMensagens {
public:
    virtual ~ManipuladorMensagens() = default;
    // Shows the message; returns the index of the chosen button.
    virtual int mostra(const PedidoMsg& pedido) = 0;
};

void DefineManipuladorMensagens(ManipuladorMensagens* m);
ManipuladorMensagens* ManipuladorAtual();

int MostraMensagem(const PedidoMsg& pedido);

// Validation problems and notices use an empty title.
void Informa(const QString& texto, const QString& titulo = {});
void Avisa(const QString& texto, const QString& titulo = {});
// A box with neither title nor icon.
void MostraSimples(const QString& texto);
void MostraErro(const QString& texto, const QString& titulo = QStringLiteral("Erro"));
// Yes/No question with No preselected; true for Yes.
bool Confirma(const QString& texto = QStringLiteral("Deseja realmente excluir?"),
              const QString& titulo = QStringLiteral("Confirmação ..."));

// Yes/No question with Yes preselected; true for Yes (closing the box answers No).
bool Pergunta(const QString& texto, const QString& titulo = QStringLiteral("Confirmação"));
} // namespace vx
