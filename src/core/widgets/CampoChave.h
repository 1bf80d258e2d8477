#pragma once
// Pieces of the screens that find an authorization by the key printed on the patient's form: the
// key field with its "Visualizar" button, and the bold labels of the read-only panel.
class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace vx {

class TPersonBtn;
class TPersonEdit;

// Bold value label (`nome` as object name).
QLabel* NovoRotuloValor(const char* nome, QWidget* pai, int larguraMinima = 0);
void AmpliaFonte(QWidget* w, double fator);

struct CampoChave {
    TPersonEdit* chave;       // "PEChave", 20 characters, caption above
    TPersonBtn* visualizar;   // "PBVisualizar", takes no focus: clicking it is not leaving the key
    QHBoxLayout* linha;       // the row of both, for more widgets before its final stretch
};
// Adds the caption and the row to `raiz`.
CampoChave NovoCampoChave(QWidget* pai, QBoxLayout* raiz);

} // namespace vx
