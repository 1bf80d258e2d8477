#pragma once
// An installation for screen tests: configuration of a role, a fresh database, the data module
// connected and the message recorder; and the user's gestures on fields.
#include "core/UDMCune.h"
#include "support/Fixtures.h"
#include "support/RoteiroMensagens.h"

#include <QStringList>
#include <QtTest>

#include <memory>

namespace vx {
class TPersonEdit;
}

namespace vx::test {

struct AmbienteTela {
    BancoTeste b;
    std::unique_ptr<TDMCUNE> dm;
    RoteiroMensagens msgs;

    // `usuario`: GERAL/USUARIO ("CUNE" is the consortium); `extra`: more GERAL lines.
    explicit AmbienteTela(const QString& usuario = QStringLiteral("CUNE"), const QStringList& extra = {});
    ~AmbienteTela();
    QString texto(const QString& sql) { return b.valor(sql).toString(); }
    int numero(const QString& sql) { return b.valor(sql).toInt(); }
};

// Columns and rows of a registry's code test: `digitado` (typed code), `existentes` (the table holds
// rows up to code 7, which is closed), `codigo` (the code saved) and `situacao` (audit "I"/"U").
// An empty or "0" code is the highest + 1, closed rows included; a typed code is inserted when
// unknown and updated (reactivated) when it exists.
void LinhasCodigoCadastro();

// Shows the one instance of screen T (its loss-of-focus close off) and waits until it is active.
template <class T>
T* AbreTelaTeste(T* t)
{
    t->setFechaAoPerderFoco(false);
    t->show();
    t->activateWindow();
    if (!QTest::qWaitForWindowActive(t))
        qWarning("window not active");
    return t;
}

// Leaves a field as the user does: Enter moves to the next one.
void Sai(QWidget* campo);
// Types `texto` into a field (replacing what it holds) and leaves it.
void Digita(TPersonEdit* campo, const QString& texto);

} // namespace vx::test
