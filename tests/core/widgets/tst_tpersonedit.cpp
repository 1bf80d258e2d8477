#include "core/Texto1252.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "core/widgets/UiMensagens.h"
#include "support/RoteiroMensagens.h"

#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

using namespace vx;

namespace {
// Types text, including characters QTest::keyClicks cannot map to keys.
void digita(QWidget* w, const QString& texto)
{
    for (QChar c : texto) {
        if (c.unicode() < 128)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
// Names of the fields of `w` painted with the focus colour.
QStringList destacados(const QWidget& w)
{
    QStringList r;
    for (const TPersonEdit* e : w.findChildren<TPersonEdit*>())
        if (e->corFundo() == e->corDestaque())
            r << e->objectName();
    return r;
}

// Waits until the application has made `w` its active window.
bool ativa(QWidget* w)
{
    return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; });
}

// Real message boxes for as long as it lives.
struct CaixasReais {
    ManipuladorCaixas caixas;
    ManipuladorMensagens* anterior = ManipuladorAtual();
    CaixasReais() { DefineManipuladorMensagens(&caixas); }
    ~CaixasReais() { DefineManipuladorMensagens(anterior); }
};
} // namespace

using Tipo = TPersonEdit::Tipo;
Q_DECLARE_METATYPE(TPersonEdit::Tipo)

class TstTPersonEdit : public QObject {
    Q_OBJECT
private slots:
    void textoVazio_data();
    void textoVazio();
    void saida_data();
    void saida();
    void textoCarregado_data();
    void textoCarregado();
    void capitaliza_data();
    void capitaliza();
    void capitalizaAoDigitarEspaco();
    void cpfCnpj_data();
    void cpfCnpj();
    void cores();
    void requeridosNaOrdem();
    void requeridoMascaraVazia();
    void semVerRequeridos();
    void cliqueComCampoInvalido();
    void botaoFechar();
    void tamanhoMaximo();
    void caracteres1252();
    void caixa();
    void valoresTipados();
    void rotulo();
    void umSoCampoDestacado_data();
    void umSoCampoDestacado();

private:
    struct Tela {
        QWidget w;
        TPersonEdit* campo;
        QLineEdit* outro;
    };
    // A shown, active window with one field of the type and another widget to move to.
    static std::unique_ptr<Tela> tela(Tipo t);
};

std::unique_ptr<TstTPersonEdit::Tela> TstTPersonEdit::tela(Tipo t)
{
    auto r = std::make_unique<Tela>();
    r->campo = new TPersonEdit(t, "Campo", &r->w);
    r->campo->setGeometry(80, 10, 150, 24);
    r->outro = new QLineEdit(&r->w);
    r->outro->setGeometry(80, 50, 150, 24);
    r->w.resize(300, 100);
    r->w.show();
    r->w.activateWindow();
    if (!QTest::qWaitForWindowActive(&r->w))
        qWarning("window not active");
    r->outro->setFocus();
    return r;
}

void TstTPersonEdit::textoVazio_data()
{
    QTest::addColumn<Tipo>("tipo");
    QTest::addColumn<QString>("vazio");
    QTest::newRow("data") << TPersonEdit::peData << "  /  /    ";
    QTest::newRow("datahora") << TPersonEdit::peDataHora << "  /  /       :  ";
    QTest::newRow("float") << TPersonEdit::peFloat << "0,00";
    QTest::newRow("inteiro") << TPersonEdit::peInteiro << "0";
    QTest::newRow("texto") << TPersonEdit::peTexto << "";
    QTest::newRow("cpf") << TPersonEdit::peCpf << "   .   .   -  ";
    QTest::newRow("cnpj") << TPersonEdit::peCnpj << "  .   .   /    -  ";
}

void TstTPersonEdit::textoVazio()
{
    QFETCH(Tipo, tipo);
    QFETCH(QString, vazio);
    TPersonEdit e(tipo, "X");
    QCOMPARE(e.text(), vazio);
    e.setText(tipo == TPersonEdit::peTexto ? "abc" : "1");
    e.clear();
    QCOMPARE(e.text(), vazio);
    QVERIFY(e.vazio());
    QCOMPARE(TPersonEdit::textoVazio(tipo), vazio);
    // Changing the type of a filled field puts the number types back to their empty text.
    TPersonEdit f(TPersonEdit::peTexto, "Y");
    f.setText("abc");
    f.setTipo(tipo);
    if (tipo == TPersonEdit::peFloat || tipo == TPersonEdit::peInteiro)
        QCOMPARE(f.text(), vazio);
}

void TstTPersonEdit::saida_data()
{
    QTest::addColumn<Tipo>("tipo");
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("resultado");
    QTest::addColumn<QString>("erro");
    const QString erroFloat = QString::fromUtf8("Valor Inválido, insira um valor de Ponto Flutuante!");
    const QString erroData = QString::fromUtf8("Valor Inválido, insira uma Data Válida!");
    QTest::newRow("float vazio") << TPersonEdit::peFloat << "" << "0,00" << "";
    QTest::newRow("float 12,5") << TPersonEdit::peFloat << "12,5" << "12,50" << "";
    QTest::newRow("float milhar") << TPersonEdit::peFloat << "1.234,5" << "1234,50" << "";
    QTest::newRow("float muitas casas") << TPersonEdit::peFloat << "0,123456" << "0,123456" << "";
    QTest::newRow("float ponto decimal") << TPersonEdit::peFloat << "12.5" << "12.5" << erroFloat;
    QTest::newRow("float duas virgulas") << TPersonEdit::peFloat << "1,2,3" << "1,2,3" << erroFloat;
    QTest::newRow("float letras ignoradas") << TPersonEdit::peFloat << "7a" << "7,00" << "";
    QTest::newRow("inteiro vazio") << TPersonEdit::peInteiro << "" << "0" << "";
    QTest::newRow("inteiro so sinal") << TPersonEdit::peInteiro << "-" << "-"
                                      << QString::fromUtf8("Valor Inválido, insira um valor Inteiro!");
    QTest::newRow("data") << TPersonEdit::peData << "25122015" << "25/12/2015" << "";
    QTest::newRow("data ano curto") << TPersonEdit::peData << "010216" << "01/02/2016" << "";
    // A birth year typed with two digits is not taken as a future year.
    const int nasc = QDate::currentDate().year() - 30;
    QTest::newRow("data ano curto passado")
        << TPersonEdit::peData << QStringLiteral("1506%1").arg(nasc % 100, 2, 10, QLatin1Char('0'))
        << QStringLiteral("15/06/%1").arg(nasc) << "";
    QTest::newRow("data vazia passa") << TPersonEdit::peData << "" << "  /  /    " << "";
    QTest::newRow("data invalida") << TPersonEdit::peData << "31022015" << "31/02/2015" << erroData;
    QTest::newRow("data incompleta") << TPersonEdit::peData << "2512" << "25/12/    " << erroData;
    QTest::newRow("datahora") << TPersonEdit::peDataHora << "251220151430" << "25/12/2015 14:30" << "";
    QTest::newRow("datahora invalida") << TPersonEdit::peDataHora << "251220152599" << "25/12/2015 25:99"
                                       << QString::fromUtf8("Valor Inválido, insira uma Data e Hora Válida!");
    QTest::newRow("cpf valido") << TPersonEdit::peCpf << "52998224725" << "529.982.247-25" << "";
    QTest::newRow("cpf invalido") << TPersonEdit::peCpf << "52998224724" << "529.982.247-24"
                                  << QString::fromUtf8("O valor do CPF não é um valor Válido!");
    QTest::newRow("cpf repetido") << TPersonEdit::peCpf << "11111111111" << "111.111.111-11"
                                  << QString::fromUtf8("O valor do CPF não é um valor Válido!");
    QTest::newRow("cpf vazio passa") << TPersonEdit::peCpf << "" << "   .   .   -  " << "";
    QTest::newRow("cnpj valido") << TPersonEdit::peCnpj << "11222333000181" << "11.222.333/0001-81" << "";
    QTest::newRow("cnpj alfanumerico") << TPersonEdit::peCnpj << "12abc34501de35" << "12.ABC.345/01DE-35" << "";
    QTest::newRow("cnpj invalido") << TPersonEdit::peCnpj << "11222333000182" << "11.222.333/0001-82"
                                   << QString::fromUtf8("O valor do CNPJ não é um valor Válido!");
    QTest::newRow("cnpj zeros") << TPersonEdit::peCnpj << "00000000000000" << "00.000.000/0000-00"
                                << QString::fromUtf8("O valor do CNPJ não é um valor Válido!");
    QTest::newRow("texto") << TPersonEdit::peTexto << "maria da silva para" << "Maria da Silva para" << "";
    QTest::newRow("texto parana") << TPersonEdit::peTexto << QString::fromUtf8("joao paraná")
                                  << QString::fromUtf8("Joao paraná") << "";
}

// Typing into a field and leaving it with Tab normalises or reports the error.
void TstTPersonEdit::saida()
{
    QFETCH(Tipo, tipo);
    QFETCH(QString, digitado);
    QFETCH(QString, resultado);
    QFETCH(QString, erro);
    test::RoteiroMensagens msgs;
    auto t = tela(tipo);
    t->campo->setFocus();
    QVERIFY(t->campo->hasFocus());
    t->campo->selectAll();
    if (!digitado.isEmpty())
        digita(t->campo, digitado);
    else
        QTest::keyClick(t->campo, Qt::Key_Delete);
    QTest::keyClick(t->campo, Qt::Key_Tab);
    QCOMPARE(t->campo->text(), resultado);
    if (erro.isEmpty()) {
        QCOMPARE(msgs.quantidade(), 0);
        QVERIFY(t->outro->hasFocus());
        QVERIFY(!t->campo->emErro());
    } else {
        QCOMPARE(msgs.textos(), QStringList{erro});
        QCOMPARE(msgs.ultima().icone, IconeMsg::Erro);
        QVERIFY(t->campo->hasFocus());
        QCOMPARE(t->campo->corFundo(), TPersonEdit::corErroPadrao());
    }
}

void TstTPersonEdit::textoCarregado_data()
{
    QTest::addColumn<Tipo>("tipo");
    QTest::addColumn<QString>("carregado");
    QTest::addColumn<QString>("depois");
    QTest::newRow("data") << TPersonEdit::peData << "05/03/2015" << "05/03/2015";
    QTest::newRow("data vazia") << TPersonEdit::peData << "  /  /    " << "  /  /    ";
    QTest::newRow("data com branco") << TPersonEdit::peData << "5 /03/2015" << "05/03/2015";
    QTest::newRow("data curta") << TPersonEdit::peData << "5/3/2015" << "05/03/2015";
    QTest::newRow("cpf com brancos") << TPersonEdit::peCpf << "  1.234.567-97" << "001.234.567-97";
    QTest::newRow("cnpj com brancos") << TPersonEdit::peCnpj << "  .   .   /0001-91" << "00.000.000/0001-91";
    QTest::newRow("datahora") << TPersonEdit::peDataHora << "25/12/2015 08:05" << "25/12/2015 08:05";
    QTest::newRow("cpf sem mascara") << TPersonEdit::peCpf << "52998224725" << "529.982.247-25";
    QTest::newRow("cnpj sem mascara") << TPersonEdit::peCnpj << "11222333000181" << "11.222.333/0001-81";
}

// Values loaded by the program keep every position; leaving the field zero-fills / normalises.
void TstTPersonEdit::textoCarregado()
{
    QFETCH(Tipo, tipo);
    QFETCH(QString, carregado);
    QFETCH(QString, depois);
    test::RoteiroMensagens msgs;
    auto t = tela(tipo);
    t->campo->setText(carregado);
    if (carregado.size() == TPersonEdit::textoVazio(tipo).size())
        QCOMPARE(t->campo->text(), carregado);
    t->campo->setFocus();
    QTest::keyClick(t->campo, Qt::Key_Tab);
    QCOMPARE(msgs.textos(), QStringList());
    QCOMPARE(t->campo->text(), depois);
}

void TstTPersonEdit::capitaliza_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<QString>("saida");
    QTest::newRow("exemplo") << "maria da silva para" << "Maria da Silva para";
    QTest::newRow("par no inicio da palavra") << QString::fromUtf8("joao paraná") << QString::fromUtf8("Joao paraná");
    QTest::newRow("nunca minuscula") << "JOSE DA SILVA" << "JOSE DA SILVA";
    QTest::newRow("tres letras") << "rua dos anjos" << "Rua dos Anjos";
    QTest::newRow("acentos") << QString::fromUtf8("érica ávila") << QString::fromUtf8("Érica Ávila");
    QTest::newRow("Par maiusculo") << "ana Paraiso" << "Ana Paraiso";
    QTest::newRow("espacos duplos") << "ana  maria" << "Ana  Maria";
    QTest::newRow("vazio") << "" << "";
    QTest::newRow("primeira sempre") << "de" << "De";
    QTest::newRow("meio da palavra intacto") << "mcdonald silva" << "Mcdonald Silva";
}

void TstTPersonEdit::capitaliza()
{
    QFETCH(QString, entrada);
    QFETCH(QString, saida);
    QCOMPARE(TPersonEdit::Capitaliza(entrada), saida);
}

void TstTPersonEdit::capitalizaAoDigitarEspaco()
{
    auto t = tela(TPersonEdit::peTexto);
    t->campo->setFocus();
    QTest::keyClicks(t->campo, "joao silva ");
    QCOMPARE(t->campo->text(), QString("Joao Silva "));
    QCOMPARE(t->campo->cursorPosition(), 11);
    t->campo->setValidar(false);
    QTest::keyClicks(t->campo, "xavier ");
    QCOMPARE(t->campo->text(), QString("Joao Silva xavier "));
}

void TstTPersonEdit::cpfCnpj_data()
{
    QTest::addColumn<bool>("cnpj");
    QTest::addColumn<QString>("numero");
    QTest::addColumn<bool>("valido");
    QTest::newRow("cpf") << false << "529.982.247-25" << true;
    QTest::newRow("cpf zeros a esquerda") << false << "001.234.567-97" << true;
    QTest::newRow("cpf dv2 errado") << false << "529.982.247-26" << false;
    QTest::newRow("cpf zeros") << false << "000.000.000-00" << false;
    QTest::newRow("cpf repetido") << false << "111.111.111-11" << false;
    QTest::newRow("cpf curto") << false << "529.982.247-2" << false;
    QTest::newRow("cpf letra") << false << "52A.982.247-25" << false;
    QTest::newRow("cnpj") << true << "11.222.333/0001-81" << true;
    QTest::newRow("cnpj resto menor que 2") << true << "00.000.000/0001-91" << true;
    QTest::newRow("cnpj alfanumerico") << true << "12.ABC.345/01DE-35" << true;
    QTest::newRow("cnpj alfanumerico errado") << true << "12.ABC.345/01DF-35" << false;
    QTest::newRow("cnpj dv com letra") << true << "12.ABC.345/01DE-3A" << false;
    QTest::newRow("cnpj zeros") << true << "00.000.000/0000-00" << false;
    QTest::newRow("cnpj repetido") << true << "11.111.111/1111-11" << false;
}

void TstTPersonEdit::cpfCnpj()
{
    QFETCH(bool, cnpj);
    QFETCH(QString, numero);
    QFETCH(bool, valido);
    QCOMPARE(cnpj ? TPersonEdit::CnpjValido(numero) : TPersonEdit::CpfValido(numero), valido);
}

void TstTPersonEdit::cores()
{
    test::RoteiroMensagens msgs;
    auto t = tela(TPersonEdit::peData);
    const QColor normal = t->campo->corFundo();
    QVERIFY(normal != TPersonEdit::corDestaquePadrao());
    QCOMPARE(TPersonEdit::corDestaquePadrao(), QColor("#A6CAF0"));
    QCOMPARE(TPersonEdit::corErroPadrao(), QColor(Qt::yellow));
    t->campo->setFocus();
    QCOMPARE(t->campo->corFundo(), TPersonEdit::corDestaquePadrao());
    t->outro->setFocus();
    QCOMPARE(t->campo->corFundo(), normal);
    // A failed field keeps the error colour while it holds the focus; fixed, it is normal again.
    t->campo->setFocus();
    QTest::keyClicks(t->campo, "99999999");
    QTest::keyClick(t->campo, Qt::Key_Tab);
    QVERIFY(t->campo->hasFocus());
    QCOMPARE(t->campo->corFundo(), TPersonEdit::corErroPadrao());
    t->campo->selectAll();
    QTest::keyClicks(t->campo, "01012015");
    QTest::keyClick(t->campo, Qt::Key_Tab);
    QCOMPARE(msgs.quantidade(), 1);
    QCOMPARE(t->campo->corFundo(), normal);
    // Switching to another window is not leaving the field: no validation.
    t->campo->setFocus();
    t->campo->selectAll();
    QTest::keyClicks(t->campo, "9999");
    QWidget outra;
    outra.show();
    outra.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&outra));
    QCOMPARE(msgs.quantidade(), 1);
}

void TstTPersonEdit::requeridosNaOrdem()
{
    test::RoteiroMensagens msgs;
    QWidget w;
    auto* grupo = new QGroupBox(&w); // first child of the window, but holds the later field
    grupo->setGeometry(0, 100, 300, 80);
    auto* livre = new TPersonEdit(TPersonEdit::peTexto, "Livre", &w);
    auto* data = new TPersonEdit(TPersonEdit::peData, "Data Nasc.", &w);
    data->setRequerido(true);
    auto* nome = new TPersonEdit(TPersonEdit::peTexto, "&Nome", grupo);
    nome->setRequerido(true);
    livre->setGeometry(80, 10, 150, 24);
    data->setGeometry(80, 40, 150, 24);
    nome->setGeometry(80, 20, 150, 24);
    auto* botao = new TPersonBtn("Gravar", &w);
    botao->setGeometry(10, 200, 80, 24);
    int acoes = 0;
    connect(botao, &TPersonBtn::Acao, [&] { ++acoes; });
    w.resize(300, 240);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    QTest::mouseClick(botao, Qt::LeftButton);
    QCOMPARE(acoes, 0);
    QCOMPARE(msgs.textos(), QStringList{QString::fromUtf8("O campo \"Data Nasc.\" deve ser totalmente informado!")});
    QVERIFY(data->hasFocus());
    QCOMPARE(data->corFundo(), TPersonEdit::corErroPadrao());
    QCOMPARE(nome->corFundo(), livre->corFundo());

    data->setText("01/01/2000");
    msgs.limpa();
    botao->executa();
    QCOMPARE(acoes, 0);
    QCOMPARE(msgs.textos(), QStringList{QString::fromUtf8("O valor do campo \"Nome\" não pode estar em Branco!")});
    QVERIFY(nome->hasFocus());
    QCOMPARE(nome->corFundo(), TPersonEdit::corErroPadrao());

    nome->setText("Ana");
    msgs.limpa();
    botao->executa();
    QCOMPARE(acoes, 1);
    QCOMPARE(msgs.quantidade(), 0);
    QVERIFY(TPersonBtn::VerificaRequeridos(&w));
}

void TstTPersonEdit::requeridoMascaraVazia()
{
    test::RoteiroMensagens msgs;
    auto t = tela(TPersonEdit::peData);
    t->campo->setRequerido(true);
    // Leaving the empty date is fine; the required check is not.
    t->campo->setFocus();
    QTest::keyClick(t->campo, Qt::Key_Tab);
    QCOMPARE(msgs.quantidade(), 0);
    QVERIFY_THROWS_EXCEPTION(ErroCampo, t->campo->verificaRequerido());
    try {
        t->campo->verificaRequerido();
    } catch (const ErroCampo& e) {
        QCOMPARE(e.texto(), QString::fromUtf8("O campo \"Campo\" deve ser totalmente informado!"));
    }
    t->campo->setText("01/01/2015");
    t->campo->verificaRequerido();
    // Partly filled masks are incomplete as well.
    for (auto [tipo, texto] : {std::pair{TPersonEdit::peCpf, QString("123.456.78 -  ")},
                               std::pair{TPersonEdit::peDataHora, QString("01/01/2015   :  ")},
                               std::pair{TPersonEdit::peCnpj, QString("11.222.333/0001-  ")}}) {
        TPersonEdit e(tipo, "X");
        e.setRequerido(true);
        e.setText(texto);
        QVERIFY_THROWS_EXCEPTION(ErroCampo, e.verificaRequerido());
    }
    // Not required: never an error.
    TPersonEdit livre(TPersonEdit::peTexto, "Y");
    livre.verificaRequerido();
}

void TstTPersonEdit::semVerRequeridos()
{
    test::RoteiroMensagens msgs;
    QWidget w;
    auto* e = new TPersonEdit(TPersonEdit::peTexto, "Nome", &w);
    e->setRequerido(true);
    auto* b = new TPersonBtn("Sair", &w);
    b->setVerRequeridos(false);
    int acoes = 0;
    connect(b, &TPersonBtn::Acao, [&] { ++acoes; });
    w.show();
    b->executa();
    QCOMPARE(acoes, 1);
    QCOMPARE(msgs.quantidade(), 0);
    // A disabled button does nothing.
    b->setEnabled(false);
    b->executa();
    QCOMPARE(acoes, 1);
}

void TstTPersonEdit::cliqueComCampoInvalido()
{
    test::RoteiroMensagens msgs;
    auto t = tela(TPersonEdit::peData);
    auto* b = new TPersonBtn("Gravar", &t->w);
    b->setGeometry(10, 70, 60, 24);
    b->show();
    int acoes = 0;
    connect(b, &TPersonBtn::Acao, [&] { ++acoes; });
    t->campo->setFocus();
    QTest::keyClicks(t->campo, "3102");
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(acoes, 0);
    QCOMPARE(msgs.quantidade(), 1);
    QVERIFY(t->campo->hasFocus());
    t->campo->selectAll();
    QTest::keyClicks(t->campo, "28022015");
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(acoes, 1);
}

void TstTPersonEdit::botaoFechar()
{
    test::RoteiroMensagens msgs;
    QWidget w;
    auto* e = new TPersonEdit(TPersonEdit::peTexto, "Nome", &w);
    e->setRequerido(true);
    auto* b = new TPersonBtn("Fechar", &w);
    b->setTipo(TPersonBtn::Fechar);
    w.show();
    b->executa();
    QVERIFY(w.isVisible()); // required check first
    b->setVerRequeridos(false);
    b->executa();
    QVERIFY(!w.isVisible());
}

void TstTPersonEdit::tamanhoMaximo()
{
    auto t = tela(TPersonEdit::peTexto);
    t->campo->setMaxLength(10);
    t->campo->setText("TAXA2015-03 EXTRA");
    QCOMPARE(t->campo->text(), QString("TAXA2015-03 EXTRA"));
    t->campo->setMaxLength(5);
    QCOMPARE(t->campo->text(), QString("TAXA2015-03 EXTRA"));
    t->campo->clear();
    t->campo->setMaxLength(10);
    t->campo->setFocus();
    QTest::keyClicks(t->campo, "ABCDEFGHIJKLMNOP");
    QCOMPARE(t->campo->text(), QString("ABCDEFGHIJ"));
}

void TstTPersonEdit::caracteres1252()
{
    auto t = tela(TPersonEdit::peTexto);
    t->campo->setValidar(false);
    t->campo->setFocus();
    digita(t->campo, QString::fromUtf8("Ştefan € 日"));
    QVERIFY(cabeEm1252(t->campo->text()));
    QVERIFY(t->campo->text().contains(QString::fromUtf8("€")));
    t->campo->setText(QString::fromUtf8("Łódź"));
    QVERIFY(cabeEm1252(t->campo->text()));
    QCOMPARE(t->campo->text().size(), 4);
}

void TstTPersonEdit::caixa()
{
    auto t = tela(TPersonEdit::peTexto);
    t->campo->setValidar(false);
    t->campo->setCaixa(TPersonEdit::caixaMaiuscula);
    t->campo->setFocus();
    digita(t->campo, QString::fromUtf8("joão"));
    QCOMPARE(t->campo->text(), QString::fromUtf8("JOÃO"));
    t->campo->setText("abc");
    QCOMPARE(t->campo->text(), QString("ABC"));
    t->campo->setCaixa(TPersonEdit::caixaMinuscula);
    QCOMPARE(t->campo->text(), QString("abc"));
}

void TstTPersonEdit::valoresTipados()
{
    TPersonEdit f(TPersonEdit::peFloat, "Valor");
    f.setDecimal(Decimal::cents(123456));
    QCOMPARE(f.text(), QString("1234,56"));
    QCOMPARE(*f.decimal(), Decimal::cents(123456));
    f.setText("12.5");
    QVERIFY(!f.decimal()); // a dot is no decimal separator
    TPersonEdit dh(TPersonEdit::peDataHora, "DH");
    dh.setText("29/02/2016 23:59");
    QCOMPARE(dh.dataHora(), QDateTime(QDate(2016, 2, 29), QTime(23, 59)));
}

void TstTPersonEdit::rotulo()
{
    QWidget w;
    auto* e = new TPersonEdit(TPersonEdit::peTexto, "C&ódigo", &w);
    e->setGeometry(100, 50, 80, 24);
    w.show();
    QCOMPARE(e->rotulo(), QString::fromUtf8("Código")); // the name used in messages
    QCOMPARE(e->editLabel()->geometry().right() + 1 + 3, 100);
    e->setLabelPosition(TPersonEdit::lpAbove);
    QCOMPARE(e->editLabel()->geometry().bottom() + 1 + 3, 50);
    // The label follows the field into another parent; in a layout, the layout places it.
    QWidget outro;
    auto* form = new QFormLayout(&outro);
    form->addRow(new QLabel("Primeira linha, longa"), new QLineEdit);
    e->setParent(&outro);
    QCOMPARE(e->editLabel()->parentWidget(), &outro);
    form->addRow(e->editLabel(), e);
    outro.show();
    QVERIFY(QTest::qWaitForWindowExposed(&outro));
    QCOMPARE(e->editLabel()->x(), form->itemAt(0, QFormLayout::LabelRole)->geometry().x());
    QVERIFY(e->editLabel()->geometry().right() < e->x());
}

enum class Janela { Caixa, Dialogo, ErroValidacao, FocoMovidoNaCaixa };
Q_DECLARE_METATYPE(Janela)

void TstTPersonEdit::umSoCampoDestacado_data()
{
    QTest::addColumn<Janela>("janela");
    QTest::addColumn<QString>("focoDepois"); // field holding the focus when the box is gone
    QTest::newRow("caixa de mensagem") << Janela::Caixa << "a";
    QTest::newRow("dialogo modal") << Janela::Dialogo << "a";
    QTest::newRow("erro ao sair do campo") << Janela::ErroValidacao << "a";
    QTest::newRow("foco movido com a caixa aberta") << Janela::FocoMovidoNaCaixa << "c";
}

// Message boxes and dialogs take the focus colour away with the focus; back in the screen, only
// the focused field is painted, also after moving on.
void TstTPersonEdit::umSoCampoDestacado()
{
    QFETCH(Janela, janela);
    QFETCH(QString, focoDepois);
    CaixasReais caixas;
    QWidget w;
    QMap<QString, TPersonEdit*> campo;
    int y = 10;
    for (const char* n : {"a", "b", "c"}) {
        auto* e = new TPersonEdit(*n == 'a' ? TPersonEdit::peData : TPersonEdit::peTexto, n, &w);
        e->setObjectName(n);
        e->setGeometry(60, y, 150, 24);
        campo[n] = e;
        y += 32;
    }
    w.resize(260, 120);
    w.show();
    w.activateWindow();
    QVERIFY(ativa(&w));
    campo["a"]->setFocus();
    QCOMPARE(destacados(w), QStringList{"a"});

    QStringList durante{"-"};
    bool fechou = false;
    QTimer::singleShot(0, [&] {
        QWidget* caixa = QApplication::activeModalWidget();
        if (!caixa || !ativa(caixa))
            return;
        durante = destacados(w);
        if (janela == Janela::FocoMovidoNaCaixa)
            campo["c"]->setFocus();
        caixa->close();
        fechou = true;
    });
    switch (janela) {
    case Janela::Caixa:
    case Janela::FocoMovidoNaCaixa:
        Informa("Registro gravado.");
        break;
    case Janela::Dialogo: {
        QDialog d(&w);
        d.resize(200, 80);
        ExecutaModal(&d);
        break;
    }
    case Janela::ErroValidacao:
        QTest::keyClicks(campo["a"], "3199");
        QTest::keyClick(campo["a"], Qt::Key_Tab);
        break;
    }
    QVERIFY(fechou);
    QCOMPARE(durante, QStringList{});
    // The desktop gives the activation back to the screen (offscreen: done here).
    w.activateWindow();
    QVERIFY(ativa(&w));
    QCOMPARE(QApplication::focusWidget(), campo[focoDepois]);
    if (janela == Janela::ErroValidacao) {
        // The failed field keeps the error colour; fixed and left, it is normal again.
        QCOMPARE(campo["a"]->corFundo(), TPersonEdit::corErroPadrao());
        QCOMPARE(destacados(w), QStringList{});
        campo["a"]->selectAll();
        QTest::keyClicks(campo["a"], "01012015");
        QTest::keyClick(campo["a"], Qt::Key_Tab);
        QCOMPARE(destacados(w), QStringList{"b"});
        QCOMPARE(campo["a"]->corFundo(), campo["c"]->corFundo());
        return;
    }
    QCOMPARE(destacados(w), QStringList{focoDepois});
    QCOMPARE(TPersonEdit::destacado(), campo[focoDepois]);
    for (const char* proximo : {"b", "c", "a"}) {
        campo[proximo]->setFocus(Qt::TabFocusReason);
        QCOMPARE(destacados(w), QStringList{proximo});
    }
    // Another screen: its field alone is painted, and ours again once we are back.
    QWidget outra;
    auto* x = new TPersonEdit(TPersonEdit::peTexto, "x", &outra);
    x->setObjectName("x");
    x->setGeometry(40, 10, 100, 24);
    outra.show();
    outra.activateWindow();
    QVERIFY(ativa(&outra));
    x->setFocus();
    QCOMPARE(destacados(w), QStringList{});
    QCOMPARE(destacados(outra), QStringList{"x"});
    w.activateWindow();
    QVERIFY(ativa(&w));
    QCOMPARE(destacados(w), QStringList{"a"});
    QCOMPARE(destacados(outra), QStringList{});
}

QTEST_MAIN(TstTPersonEdit)
#include "tst_tpersonedit.moc"
