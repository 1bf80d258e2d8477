#include "core/widgets/PerguntaData.h"
#include "core/widgets/TFBase.h"
#include "core/widgets/TPersonEdit.h"
#include "core/widgets/UiMensagens.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vx {

std::optional<QString> PerguntaData(QWidget* pai, const QString& titulo, const QString& texto, const QString& proposta)
{
    QDialog dlg(pai);
    dlg.setObjectName(QStringLiteral("PerguntaData"));
    dlg.setWindowTitle(titulo);
    auto* l = new QVBoxLayout(&dlg);
    auto* campo = new TPersonEdit(TPersonEdit::peData, texto, &dlg);
    campo->setObjectName(QStringLiteral("PEData"));
    // The caller tells a wrong date; the field must not show a box of its own.
    campo->setValidar(false);
    campo->setText(proposta);
    l->addWidget(campo->editLabel());
    l->addWidget(campo);
    auto* botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    botoes->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    QObject::connect(botoes, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(botoes, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    l->addWidget(botoes);
    // Enter in the field confirms, as in an input box.
    QObject::connect(campo, &QLineEdit::returnPressed, &dlg, &QDialog::accept);
    campo->setFocus();
    campo->selectAll();
    if (ExecutaModal(&dlg) != QDialog::Accepted)
        return std::nullopt;
    return campo->text();
}

} // namespace vx
