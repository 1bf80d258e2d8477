#include "core/widgets/TFMsgDifValores.h"
#include "core/widgets/UiMensagens.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vx {

TFMsgDifValores::TFMsgDifValores(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Diferença de Valores"));
    Label1 = new QLabel(QStringLiteral("A diferença entre os valores corresponde a:"), this);
    Label1->setWordWrap(true);
    Button1 = new QPushButton(QStringLiteral("&1 - Desconto/Acréscimo"), this);
    Button2 = new QPushButton(QStringLiteral("&2 - Pagamento Parcial"), this);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(Button1);
    botoes->addWidget(Button2);
    auto* l = new QVBoxLayout(this);
    l->addWidget(Label1);
    l->addLayout(botoes);
    connect(Button1, &QPushButton::clicked, this, [this] { done(1); });
    connect(Button2, &QPushButton::clicked, this, [this] { done(2); });
}

int EscolhaDoisBotoes(const QString& texto, const QString& opcao1, const QString& opcao2)
{
    TFMsgDifValores dlg(QApplication::activeWindow());
    if (!texto.isEmpty())
        dlg.Label1->setText(texto);
    if (!opcao1.isEmpty())
        dlg.Button1->setText(QStringLiteral("&1 - ") + opcao1);
    if (!opcao2.isEmpty())
        dlg.Button2->setText(QStringLiteral("&2 - ") + opcao2);
    const int r = ExecutaModal(&dlg);
    return r == 1 || r == 2 ? r : 0;
}

} // namespace vx
