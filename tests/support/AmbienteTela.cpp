#include "support/AmbienteTela.h"
#include "core/Configuracao.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonEdit.h"

namespace vx::test {

AmbienteTela::AmbienteTela(const QString& usuario, const QStringList& extra)
{
    InstalaConfiguracao(b.pasta(), QStringList{QStringLiteral("USUARIO=") + usuario} + extra);
    CarregaIdentidade();
    SessaoAtual().UsuarioLogado = QStringLiteral("ana");
    if (SessaoAtual().DataAtual.isEmpty())
        SessaoAtual().DataAtual = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    dm = std::make_unique<TDMCUNE>();
    DefineDMCUNE(dm.get());
    if (!dm->ConectaBanco(b.arquivo()))
        qFatal("no database");
}

AmbienteTela::~AmbienteTela()
{
    DefineDMCUNE(nullptr);
    dm.reset();
}

void LinhasCodigoCadastro()
{
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<bool>("existentes");
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<QString>("situacao");
    QTest::newRow("primeiro") << "" << false << "1" << "I";
    QTest::newRow("zero") << "0" << false << "1" << "I";
    QTest::newRow("maior excluido") << "" << true << "8" << "I";
    QTest::newRow("digitado novo") << " 40 " << true << "40" << "I";
    QTest::newRow("digitado excluido") << "7" << true << "7" << "U";
}

void Sai(QWidget* campo)
{
    campo->setFocus();
    QTest::keyClick(campo, Qt::Key_Return);
}

void Digita(TPersonEdit* campo, const QString& texto)
{
    campo->setFocus();
    campo->setText(texto);
    QTest::keyClick(campo, Qt::Key_Return);
}

} // namespace vx::test
