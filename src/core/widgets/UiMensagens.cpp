#include "core/widgets/UiMensagens.h"
#include "core/widgets/TFBase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
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
    // A dialog of a screen opens over that screen (Qt's own placement); the others in the
    // main window's work area.
    const QWidget* pai = dlg->parentWidget() ? dlg->parentWidget()->window() : nullptr;
    const QWidget* area = WidgetAreaTrabalho();
    if (!pai || (area && area->window() == pai))
        CentraAoMostrar(dlg);
    if (executor())
        return executor()(dlg);
    return dlg->exec();
}

int ManipuladorCaixas::mostra(const PedidoMsg& pedido)
{
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(icone(pedido.icone));
    // An empty title reads as the program's name, never the executable's.
    box.setWindowTitle(pedido.titulo.isEmpty() ? QCoreApplication::applicationName() : pedido.titulo);
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

QString PerguntaArquivoSalvar(QWidget* pai, const QString& titulo, const QString& pasta, const QString& nome,
                              const QString& filtros, const QString& sufixo)
{
    QFileDialog dlg(pai, titulo, pasta, filtros);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(sufixo);
    dlg.selectFile(QDir(pasta).filePath(nome));
    if (ExecutaModal(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

QString PerguntaArquivoAbrir(QWidget* pai, const QString& titulo, const QString& pasta, const QString& filtros)
{
    QFileDialog dlg(pai, titulo, pasta, filtros);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (ExecutaModal(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

} // namespace vx
