#include "core/Mensagens.h"
#include "municipality/CartaoSus.h"

#include <QtTest>

using namespace vx;

namespace {
// Records what the check shows.
struct Registro : ManipuladorMensagens {
    QList<PedidoMsg> vistos;
    int mostra(const PedidoMsg& p) override
    {
        vistos << p;
        return 0;
    }
};
} // namespace

class TstCartaoSus : public QObject {
    Q_OBJECT
private slots:
    void regra_data();
    void regra();
    void mensagemMostrada();
};

void TstCartaoSus::regra_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<QString>("mensagem");
    const QString tam = QString::fromUtf8("O número do Cartão SUS deve ter 15 dígitos!");
    const QString x = QString::fromUtf8("Número do Cartão SUS inválido!");
    const QString inv = QString::fromUtf8("Número de Cartão SUS inválido: ");
    QTest::newRow("vazio") << "" << true << "";
    QTest::newRow("definitivo") << "123456789010000" << true << "";
    QTest::newRow("definitivo com pontos e brancos") << " 123.4567.8901.0000 " << true << "";
    QTest::newRow("definitivo 2") << "200000000000003" << true << "";
    QTest::newRow("d = 10 com 001") << "100000000060018" << true << "";
    QTest::newRow("d = 10 com 000") << "100000000060008" << false << inv + "100000000060008";
    QTest::newRow("definitivo final errado") << "123456789010001" << false << inv + "123456789010001";
    QTest::newRow("provisorio 7") << "700000000000005" << true << "";
    QTest::newRow("provisorio 8") << "898000000000002" << true << "";
    QTest::newRow("provisorio 9 com brancos") << "9000 0000 0000 008" << true << "";
    QTest::newRow("provisorio soma errada") << "898000000000003" << false << inv + "898000000000003";
    // The national rule: the provisional sum does not rescue cards of other families.
    QTest::newRow("zeros") << "000000000000000" << false << inv + "000000000000000";
    QTest::newRow("comeca com 3") << "300000000000018" << false << inv + "300000000000018";
    QTest::newRow("comeca com 1 pela soma") << "100000000000015" << false << inv + "100000000000015";
    QTest::newRow("14 digitos") << "12345678901000" << false << tam;
    QTest::newRow("16 digitos") << "1234567890100000" << false << tam;
    QTest::newRow("x minusculo") << "12345678901000x" << false << x;
    QTest::newRow("outro caractere") << "12345678901000-" << false << inv + "12345678901000-";
}

void TstCartaoSus::regra()
{
    QFETCH(QString, texto);
    QFETCH(bool, valido);
    QFETCH(QString, mensagem);
    const AvaliacaoCartaoSus r = AvaliaCartaoSUS(texto);
    QCOMPARE(r.valido, valido);
    QCOMPARE(r.mensagem, mensagem);
}

void TstCartaoSus::mensagemMostrada()
{
    Registro reg;
    DefineManipuladorMensagens(&reg);
    QVERIFY(ValidaCartaoSUS("123456789010000"));
    QVERIFY(reg.vistos.isEmpty());
    QVERIFY(!ValidaCartaoSUS("1234"));
    QVERIFY(!ValidaCartaoSUS("300000000000018"));
    DefineManipuladorMensagens(nullptr);
    QCOMPARE(reg.vistos.size(), 2);
    QCOMPARE(reg.vistos[0].titulo, QString());
    QCOMPARE(int(reg.vistos[0].icone), int(IconeMsg::Aviso));
    QCOMPARE(int(reg.vistos[1].icone), int(IconeMsg::Erro));
}

QTEST_GUILESS_MAIN(TstCartaoSus)
#include "tst_cartaosus.moc"
