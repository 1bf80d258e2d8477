#pragma once
// "Unificação de Cadastros": the run over the whole register, and the likely duplicates for the
// clerk to merge group by group (which record stays, which are merged into it).
#include "core/widgets/TFBase.h"
#include "municipality/Unificacao.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace vx {

class TPersonBtn;

class TFUnificarCadastros : public TFBase {
    Q_OBJECT
public:
    explicit TFUnificarCadastros(QWidget* parent = nullptr);
    static void Abre();

    void PBExecutaClick();
    void PBProcurarClick();
    // The selected record becomes its group's survivor.
    void PBManterClick();
    // Merges the ticked records of the selected group into its survivor.
    void PBUnificarClick();

    QLabel* LProgresso() const { return m_progresso; }
    QTreeWidget* ListaDuplicados() const { return m_lista; }

private:
    QTreeWidgetItem* grupoAtual() const;
    void marcaSobrevivente(QTreeWidgetItem* grupo, QTreeWidgetItem* escolhido);

    QLabel* m_progresso;
    QLabel* m_aguarde;
    TPersonBtn* m_executa;
    TPersonBtn* m_procurar;
    TPersonBtn* m_manter;
    TPersonBtn* m_unificar;
    QLabel* m_resumo;
    QTreeWidget* m_lista;
};

} // namespace vx
