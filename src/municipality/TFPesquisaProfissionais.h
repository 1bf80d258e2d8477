#pragma once
// "Pesquisa de Profissionais": professionals by a word of their occupation or of the procedures
// they perform; the context menu of a row opens the professional's procedures beside it.
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"

class QAction;
class QComboBox;

namespace vx {

class GradeConsulta;
class TPersonBtn;

class TFPesquisaProfissionais : public TFBase {
    Q_OBJECT
public:
    explicit TFPesquisaProfissionais(QWidget* parent = nullptr);
    static TFPesquisaProfissionais* Abre();

    void PBPesquisarClick();
    // The selected row's procedures; `todos` ignores the search text.
    void VerProcedimentos(bool todos);

    TPersonEdit* PEEspecialidade() const { return m_especialidade; }
    QComboBox* CBOrdem() const { return m_ordem; }
    GradeConsulta* Grade() const { return m_grade; }
    QAction* AcaoConformePesquisa() const { return m_conforme; }
    QAction* AcaoTodos() const { return m_todos; }

private:
    Formulario m_form{this};
    TPersonEdit* m_especialidade;
    QComboBox* m_ordem;
    TPersonBtn* m_pesquisar;
    GradeConsulta* m_grade;
    QAction* m_conforme;
    QAction* m_todos;
    QString m_texto;   // text of the last search
};

// "Procedimentos conveniados para o Profissional <name>": SUS code, name and price.
class TFPesqProfissionaisProcedimentos : public TFBase {
    Q_OBJECT
public:
    explicit TFPesqProfissionaisProcedimentos(QWidget* parent = nullptr);
    static TFPesqProfissionaisProcedimentos* Mostra(const QString& codigo, const QString& nome, const QString& texto,
                                                    bool conformePesquisa);
    GradeConsulta* Grade() const { return m_grade; }

private:
    GradeConsulta* m_grade;
};

} // namespace vx
