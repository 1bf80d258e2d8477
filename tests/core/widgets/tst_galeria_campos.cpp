#include "core/widgets/TFBase.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "support/Galeria.h"
#include "support/RoteiroMensagens.h"

#include <QImage>
#include <QtTest>

using namespace vx;

namespace {
// A sample registry screen with one field of every type.
class TFAmostra : public TFBase {
public:
    TFAmostra()
    {
        setWindowTitle("Campos");
        const struct {
            TPersonEdit::Tipo tipo;
            const char* rotulo;
            const char* valor;
        } campos[] = {
            {TPersonEdit::peTexto, "Nome", "Maria da Silva"},
            {TPersonEdit::peInteiro, "Código", "4300001"},
            {TPersonEdit::peFloat, "Valor", "1234,50"},
            {TPersonEdit::peData, "Data Nasc.", "05/03/2015"},
            {TPersonEdit::peDataHora, "Data/Hora", ""},
            {TPersonEdit::peCpf, "CPF", "529.982.247-25"},
            {TPersonEdit::peCnpj, "CNPJ", "12.ABC.345/01DE-35"},
        };
        int y = 12;
        for (const auto& c : campos) {
            auto* e = new TPersonEdit(c.tipo, QString::fromUtf8(c.rotulo), this);
            e->setGeometry(100, y, 180, 24);
            if (*c.valor)
                e->setText(QString::fromUtf8(c.valor));
            lista << e;
            y += 32;
        }
        lista[0]->setRequerido(true);
        acima = new TPersonEdit(TPersonEdit::peTexto, "Rótulo acima", this);
        acima->setLabelPosition(TPersonEdit::lpAbove);
        acima->setGeometry(300, 30, 160, 24);
        PBtnGravar = new TPersonBtn("&Gravar", this);
        PBtnGravar->setGeometry(100, y + 8, 85, 28);
        PBtnSair = new TPersonBtn("&Sair", this);
        PBtnSair->setTipo(TPersonBtn::Fechar);
        PBtnSair->setVerRequeridos(false);
        PBtnSair->setGeometry(195, y + 8, 85, 28);
        resize(480, y + 50);
    }
    QList<TPersonEdit*> lista;
    TPersonEdit* acima;
    TPersonBtn* PBtnGravar;
    TPersonBtn* PBtnSair;
};
} // namespace

class TstGaleriaCampos : public QObject {
    Q_OBJECT
private slots:
    void campos();
    void campoComErro();
};

void TstGaleriaCampos::campos()
{
    TFAmostra t;
    t.setFechaAoPerderFoco(false);
    t.show();
    t.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&t));
    t.lista[2]->setFocus(); // highlighted field
    const QString f = test::SalvaTela(&t, "campos_tipos");
    QVERIFY(!f.isEmpty());
    const QImage img(f);
    QCOMPARE(img.size(), t.size() * img.devicePixelRatio());
    // The focused field is painted with the highlight colour.
    const QPoint dentro = t.lista[2]->geometry().topLeft() + QPoint(t.lista[2]->width() - 8, 12);
    QCOMPARE(img.pixelColor(dentro), TPersonEdit::corDestaquePadrao());
}

void TstGaleriaCampos::campoComErro()
{
    test::RoteiroMensagens msgs;
    TFAmostra t;
    t.setFechaAoPerderFoco(false);
    t.lista[0]->clear();
    t.show();
    t.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&t));
    t.PBtnGravar->executa();
    QCOMPARE(msgs.quantidade(), 1);
    QVERIFY(t.lista[0]->hasFocus()); // the failing field holds the focus with the error colour
    const QString f = test::SalvaTela(&t, "campos_erro_requerido");
    QVERIFY(!f.isEmpty());
    const QImage img(f);
    const QPoint dentro = t.lista[0]->geometry().topLeft() + QPoint(t.lista[0]->width() - 8, 12);
    QCOMPARE(img.pixelColor(dentro), TPersonEdit::corErroPadrao());
}

QTEST_MAIN(TstGaleriaCampos)
#include "tst_galeria_campos.moc"
