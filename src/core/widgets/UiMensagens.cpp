#include "core/widgets/UiMensagens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vx {

namespace {
int& modaisAbertos()
{
    static int n = 0;
    return n;
}

ExecutorModal& executor()
{
    static ExecutorModal e;
    return e;
}

QMessageBox::Icon icone(IconeMsg i)
{
    switch (i) {
    case IconeMsg::Informacao: return QMessageBox::Information;
    case IconeMsg::Aviso: return QMessageBox::Warning;
    case IconeMsg::Erro: return QMessageBox::Critical;
    case IconeMsg::Pergunta: return QMessageBox::Question;
    case IconeMsg::Nenhum: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

GuardaModal::GuardaModal()
{
    ++modaisAbertos();
}

GuardaModal::~GuardaModal()
{
    --modaisAbertos();
}

bool ModalAberto()
{
    return modaisAbertos() > 0 || QApplication::activeModalWidget() != nullptr;
}

ExecutorModal DefineExecutorModal(ExecutorModal e)
{
    ExecutorModal anterior = executor();
    executor() = std::move(e);
    return anterior;
}

int ExecutaModal(QDialog* dlg)
{
    GuardaModal guarda;
    if (executor())
        return executor()(dlg);
    return dlg->exec();
}

int ManipuladorCaixas::mostra(const PedidoMsg& pedido)
{
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(icone(pedido.icone));
    box.setWindowTitle(pedido.titulo);
    box.setText(pedido.texto);
    const QStringList botoes = pedido.botoes.isEmpty() ? QStringList{QStringLiteral("OK")} : pedido.botoes;
    QList<QPushButton*> lista;
    for (int i = 0; i < botoes.size(); ++i) {
        // Roles only decide the layout order; the index is the answer.
        auto* b = box.addButton(botoes[i], i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
        lista << b;
    }
    const int padrao = qBound(0, pedido.padrao, int(lista.size()) - 1);
    const int cancelar = pedido.cancelar >= 0 && pedido.cancelar < lista.size() ? pedido.cancelar : padrao;
    box.setDefaultButton(lista[padrao]);
    box.setEscapeButton(lista[cancelar]);
    ExecutaModal(&box);
    const int i = int(lista.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return i >= 0 ? i : cancelar;
}

void InstalaMensagensUi()
{
    static ManipuladorCaixas caixas;
    DefineManipuladorMensagens(&caixas);
}

} // namespace vx
