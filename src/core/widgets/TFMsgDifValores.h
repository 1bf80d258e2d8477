#pragma once
// Two-choice dialog "Diferença de Valores".
#include <QDialog>

class QLabel;
class QPushButton;

namespace vx {

class TFMsgDifValores : public QDialog {
    Q_OBJECT
public:
    explicit TFMsgDifValores(QWidget* parent = nullptr);
    QLabel* Label1;
    QPushButton* Button1;   // done(1)
    QPushButton* Button2;   // done(2)
};

// Shows the text (default "A diferença entre os valores corresponde a:") with two buttons
// "&1 - <opcao1>" and "&2 - <opcao2>" (defaults "Desconto/Acréscimo", "Pagamento Parcial");
// returns 1 or 2 for the button pressed, 0 when the window was closed otherwise.
int EscolhaDoisBotoes(const QString& texto = {}, const QString& opcao1 = {}, const QString& opcao2 = {});

} // namespace vx
