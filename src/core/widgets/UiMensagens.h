#pragma once
// Message boxes and modal dialogs of the desktop program.
// InstalaMensagensUi() makes vx::Informa/Avisa/MostraErro/Confirma show QMessageBox windows.
// Every modal dialog of the program runs through ExecutaModal(), so tests can drive it with a
// script instead of exec() and screens know when a modal dialog is open.
#include "core/Mensagens.h"

#include <functional>

class QDialog;
class QString;
class QWidget;

namespace vx {

// Shows a PedidoMsg as a QMessageBox: icon by IconeMsg, title as given (may be empty), one button
// per caption (a single "OK" when none), the `padrao` button preselected, Escape → `cancelar`.
class ManipuladorCaixas : public ManipuladorMensagens {
public:
    int mostra(const PedidoMsg& pedido) override;
};

// Installs a process-wide ManipuladorCaixas as the message handler.
void InstalaMensagensUi();

// Runs a dialog modally and returns its result code (QDialog::Accepted/Rejected or done(n)).
// Without a hook this is dlg->exec(). While it runs ModalAberto() is true.
int ExecutaModal(QDialog* dlg);

// A save-file dialog (Qt's own, so tests can drive it) run through ExecutaModal, opened in `pasta`
// with `nome` proposed; `sufixo` is added to a name typed without one. The chosen path, or ""
// when cancelled.
QString PerguntaArquivoSalvar(QWidget* pai, const QString& titulo, const QString& pasta, const QString& nome,
                              const QString& filtros, const QString& sufixo);

// An open-file dialog (Qt's own) run through ExecutaModal, opened in `pasta`. The chosen path, or ""
// when cancelled.
QString PerguntaArquivoAbrir(QWidget* pai, const QString& titulo, const QString& pasta, const QString& filtros);

// Replaces how ExecutaModal runs dialogs (tests); an empty function restores exec().
// Returns the previous hook.
using ExecutorModal = std::function<int(QDialog*)>;
ExecutorModal DefineExecutorModal(ExecutorModal executor);

// True while a dialog run by ExecutaModal or a message box is open, or Qt reports an active
// modal widget.
bool ModalAberto();

// Marks a modal window as open for as long as the guard lives (used around exec() calls that do
// not go through ExecutaModal, e.g. file dialogs).
class GuardaModal {
public:
    GuardaModal();
    ~GuardaModal();
    GuardaModal(const GuardaModal&) = delete;
    GuardaModal& operator=(const GuardaModal&) = delete;
};

} // namespace vx
