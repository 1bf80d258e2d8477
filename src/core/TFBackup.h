#pragma once
// "Backup do Sistema": shown modally whenever the program closes. Backs the database up through
// the server's backup service (see Backup.h), logging every step; either button ends the program,
// but a failed backup leaves the screen open with the database connected again.
#include "core/widgets/TFBase.h"

class QPlainTextEdit;
class QPushButton;

namespace vx {

class TFBackup : public TFBase {
    Q_OBJECT
public:
    explicit TFBackup(QWidget* parent = nullptr);
    // Shown modally; returns when it is closed.
    static void Abre();

    void PBtnBackupClick();
    void PBtnFecharClick();
    QPlainTextEdit* MLog() const { return m_log; }
    QPushButton* PBtnBackup() const { return m_backup; }
    // The computer name that tells a local server from another one (tests set it).
    static void DefineNomeComputador(const QString& nome);

protected:
    void closeEvent(QCloseEvent* ev) override;

private:
    void log(const QString& linha);
    QPlainTextEdit* m_log;
    QPushButton* m_backup;
    QPushButton* m_fechar;
    bool m_rodando = false;
};

} // namespace vx
