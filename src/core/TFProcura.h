#pragma once
// The name search dialog ("Procura por Nomes") and the four search calls of the screens.
#include "core/UProcuraNome.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QLineEdit;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vx {

class Conexao;
class Transacao;

class TFProcura : public QDialog {
    Q_OBJECT
public:
    explicit TFProcura(QWidget* parent = nullptr);
    ~TFProcura() override;

    // Runs one search modally; returns the chosen key (cut for "codconcat") or empty.
    QString Executa(const DefinicaoBusca& d);

    // Connection of the dialog's transaction; null (default) = the data module's connection.
    void setConexao(Conexao* con) { m_con = con; }
    // Pause after the last keystroke before the list is refreshed.
    void setIntervalo(int ms) { m_timer.setInterval(ms); }
    int intervalo() const { return m_timer.interval(); }

    ModoBusca modo() const;
    // Shown columns of the row chosen in the last search (list order), empty when none.
    const QStringList& linhaEscolhida() const { return m_linha; }
    // Queries run since the dialog was created (the opening one included).
    int consultas() const { return m_consultas; }
    // Searches given up because the text changed or the dialog closed while they ran.
    int interrompidas() const { return m_interrompidas; }
    // True while a text change is waiting for its query.
    bool pendente() const { return m_timer.isActive(); }

    QLineEdit* Edit1 = nullptr;
    QRadioButton* RBTrecho = nullptr;
    QRadioButton* RBInicio = nullptr;
    QRadioButton* RBQualquer = nullptr;
    QTreeWidget* DBLookupListBox1 = nullptr;

signals:
    // A search for `padrao` starts.
    void buscaIniciada(const QString& padrao);
    // The list now shows the rows of `padrao`.
    void listaAtualizada(const QString& padrao);

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;
    void showEvent(QShowEvent* ev) override;

private:
    void agenda();
    void atualiza();
    bool abre(const QString& padrao);
    void escolhe(QTreeWidgetItem* item);
    void limpa();

    std::unique_ptr<Transacao> IBTProcura;
    Conexao* m_con = nullptr;
    DefinicaoBusca m_def;
    QTimer m_timer;
    QString m_resultado;
    QStringList m_linha;
    QString m_padraoAtual;
    bool m_executando = false;
    bool m_mudou = false;     // text or mode changed while a search ran
    bool m_mostrado = false;  // shown by Executa
    int m_interrompidas = 0;
    bool m_falhou = false;
    int m_consultas = 0;
};

// The one dialog of the program (created on first use).
TFProcura* FProcura();

// Search calls: return the chosen key, or empty when the user closed the dialog or on error.
QString Procura(const QStringList& campos, const QString& coluna, const QString& tabela);
QString ProcuraFiltro(const QStringList& campos, const QString& coluna, const QString& tabela,
                      const QString& condicao);
QString ProcuraSimples(const QString& chave, const QString& nome, const QString& tabela);
QString ProcuraSimplesFiltro(const QString& chave, const QString& nome, const QString& tabela,
                             const QString& condicao);

} // namespace vx
