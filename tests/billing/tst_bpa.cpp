// The BPA file read back by a strict reader of the national layout: every record's length and
// line end, every numeric field digits only, each field at its position; the header's counts,
// sheets and control value; the selection of the period; the patient rules of the individualized
// record; the refusals; and the screen that writes the file, its copy, the error list and the
// previews.
#include "billing/Bpa.h"
#include "billing/TFFilRelBPA.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QDir>
#include <QGroupBox>
#include <QRadioButton>
#include <QtTest>

using namespace vx;

namespace {

const QDate kIni(2026, 3, 1);
const QDate kFim(2026, 3, 31);
const bpa::Identificacao kId{QStringLiteral("1234567"), QStringLiteral("CUNE CONSORCIO"),
                             QStringLiteral("12.345.678/0001-90"), QStringLiteral("2.28")};

// Fields of the individualized record: name, position, width, kind ('N' digits, 'n' digits or
// blanks, 'A' any printable text).
struct CampoLayout {
    const char* nome;
    int pos;
    int largura;
    char tipo;
};
const CampoLayout kIndividualizado[] = {
    {"tipo", 1, 2, 'N'},       {"cnes", 3, 7, 'N'},         {"competencia", 10, 6, 'N'},
    {"cnsProf", 16, 15, 'A'},  {"cbo", 31, 6, 'A'},         {"data", 37, 8, 'N'},
    {"folha", 45, 3, 'N'},     {"seq", 48, 2, 'N'},         {"proc", 50, 10, 'N'},
    {"cns", 60, 15, 'n'},      {"sexo", 75, 1, 'A'},        {"ibge", 76, 6, 'N'},
    {"cid", 82, 4, 'A'},       {"idade", 86, 3, 'N'},       {"qtd", 89, 6, 'N'},
    {"carater", 95, 2, 'N'},   {"autorizacao", 97, 13, 'n'}, {"origem", 110, 3, 'A'},
    {"nome", 113, 30, 'A'},    {"nasc", 143, 8, 'n'},       {"raca", 151, 2, 'N'},
    {"etnia", 153, 4, 'n'},    {"nacionalidade", 157, 3, 'N'}, {"livre", 160, 32, 'A'},
    {"cep", 192, 8, 'N'},      {"logradouro", 200, 3, 'N'}, {"endereco", 203, 30, 'A'},
    {"complemento", 233, 10, 'A'}, {"numero", 243, 5, 'A'}, {"bairro", 248, 30, 'A'},
    {"fone", 278, 11, 'n'},    {"email", 289, 40, 'A'},     {"ine", 329, 10, 'n'},
    {"cpf", 339, 11, 'n'},     {"situacaoRua", 350, 1, 'A'},
};
const CampoLayout kConsolidado[] = {
    {"tipo", 1, 2, 'N'},  {"cnes", 3, 7, 'N'},  {"competencia", 10, 6, 'N'}, {"cbo", 16, 6, 'A'},
    {"folha", 22, 3, 'N'}, {"seq", 25, 2, 'N'}, {"proc", 27, 10, 'N'},       {"idade", 37, 3, 'n'},
    {"qtd", 40, 6, 'N'},  {"origem", 46, 3, 'A'},
};
const CampoLayout kCabecalho[] = {
    {"tipo", 1, 2, 'N'},     {"bpa", 3, 5, 'A'},    {"competencia", 8, 6, 'N'}, {"linhas", 14, 6, 'N'},
    {"folhas", 20, 6, 'N'},  {"controle", 26, 4, 'N'}, {"orgao", 30, 30, 'A'},  {"sigla", 60, 6, 'A'},
    {"cnpj", 66, 14, 'N'},   {"destino", 80, 40, 'A'}, {"indicador", 120, 1, 'A'}, {"versao", 121, 10, 'A'},
};

using Registro = QMap<QString, QString>;

template <size_t N>
Registro le(const QByteArray& linha, const CampoLayout (&layout)[N], int tamanho)
{
    Registro r;
    if (linha.size() != tamanho) {
        qWarning("record of %d characters, expected %d: %s", int(linha.size()), tamanho, linha.constData());
        return r;
    }
    int proximo = 1;
    for (const CampoLayout& c : layout) {
        if (c.pos != proximo) {
            qWarning("layout gap at %d", c.pos);
            return {};
        }
        proximo = c.pos + c.largura;
        const QByteArray v = linha.mid(c.pos - 1, c.largura);
        bool ok = true;
        for (char ch : v)
            ok = ok && static_cast<unsigned char>(ch) >= 0x20;
        const bool digitos = std::all_of(v.begin(), v.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
        if (c.tipo == 'N')
            ok = ok && digitos;
        if (c.tipo == 'n')
            ok = ok && (digitos || v.trimmed().isEmpty());
        if (!ok) {
            qWarning("field %s (%d) holds \"%s\"", c.nome, c.pos, v.constData());
            return {};
        }
        r.insert(QLatin1String(c.nome), QString::fromLatin1(v));
    }
    if (proximo != tamanho + 1)
        return {};
    return r;
}

// The file's records: header, then 02 and 03 lines; every line ends with CR LF.
struct Lido {
    Registro cabecalho;
    QList<Registro> consolidados;
    QList<Registro> individualizados;
    bool valido = false;
};

Lido leArquivo(const QByteArray& conteudo)
{
    Lido l;
    if (!conteudo.endsWith("\r\n"))
        return l;
    QList<QByteArray> linhas = conteudo.split('\n');
    linhas.removeLast();
    bool ok = true;
    for (QByteArray& x : linhas) {
        ok = ok && x.endsWith('\r');
        x.chop(1);
    }
    l.cabecalho = le(linhas.value(0), kCabecalho, bpa::kTamCabecalho);
    ok = ok && !l.cabecalho.isEmpty();
    bool individualizado = false;
    for (int i = 1; i < linhas.size(); ++i) {
        if (linhas[i].startsWith("02") && !individualizado)
            l.consolidados << le(linhas[i], kConsolidado, bpa::kTamConsolidado);
        else if (linhas[i].startsWith("03") && (individualizado = true))
            l.individualizados << le(linhas[i], kIndividualizado, bpa::kTamIndividualizado);
        else
            ok = false;
    }
    for (const Registro& r : l.consolidados + l.individualizados)
        ok = ok && !r.isEmpty();
    l.valido = ok;
    return l;
}

void cadastros(test::BancoTeste& b)
{
    b.executa("insert into clientes (codigo, nome, cep) values ('4314902', 'PORTO ALEGRE', '90010-000')");
    b.executa("insert into gruposproced (codigo, nome) values (1, 'CONSULTAS')");
    b.executa("insert into gruposproced (codigo, nome) values (2, 'EXAMES')");
    b.executa("insert into s_pa (pa_id, pa_dv, pa_idebpa, pa_ctf) values ('030101007', '2', 'S', '06')");
    b.executa("insert into s_pa (pa_id, pa_dv, pa_idebpa, pa_ctf) values ('020201047', '3', 'N', '01')");
    b.executa("insert into s_pa (pa_id, pa_dv, pa_idebpa, pa_ctf) values ('021107004', '1', 'N', '06')");
    b.executa("insert into procedimentos (codigo, nome, codgrupo, codtabsus, registro) "
              "values (1, 'CONSULTA', 1, '0301010072', 'C')");
    b.executa("insert into procedimentos (codigo, nome, codgrupo, codtabsus, registro) "
              "values (2, 'GLICOSE', 2, '0202010473', 'CI')");
    b.executa("insert into procedimentos (codigo, nome, codgrupo, codtabsus, registro) "
              "values (3, 'AUDIOMETRIA', 2, '0211070041', 'I')");
    b.executa("insert into profissionais (codigo, nome, cbo, cnsbpa) values (1, 'ANA', '225125', '700000000000005')");
    b.executa("insert into profissionais (codigo, nome, cbo, cnsbpa) values (2, 'FORA', '225120', 'X')");
    b.executa("insert into profissionais (codigo, nome, cbo) values (3, 'SEM CNS', '223605')");
    b.executa("insert into pessoas (cli_origem, codigo, nome, cartaosus, sexo, raca, datanasc, codtipolograd, endereco, "
              "endnum, fones, bairro) values ('4314902', 1, 'MARIA DA SILVA', '123456789010000', 'F', '01', "
              "'1980-05-10', 81, 'RUA DOS ANDRADAS', 100, '(51) 3333-4444 / 9999-0000', 'CENTRO')");
    b.executa("insert into pessoas (cli_origem, codigo, nome, cartaosus, sexo, raca, etnia) "
              "values ('4314902', 2, 'JOSE INDIGENA', 'MODULOS', 'M', '05', '999')");
    b.executa("insert into pessoas (cli_origem, codigo, nome, cartaosus, sexo, raca, datanasc, fones) "
              "values ('4314902', 3, 'PEDRO CPF', '529.982.247-25', '', '', '1990-01-01', '051 99999-8888')");
}

void autorizacao(test::BancoTeste& b, int id, int pessoa, int prof, const QString& idade, const QString& recebida,
                 const QString& cid, const QString& chave, const QString& carater)
{
    b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codprofissional, idade, "
                             "datarealizacao, data_importacao, codcid, chaveimpre, carater) values ('4314902', %1, 'M', %2, "
                             "%3, %4, '2026-03-09', '%5', %6, '%7', %8)")
                  .arg(id)
                  .arg(pessoa)
                  .arg(prof)
                  .arg(idade, recebida, cid, chave, carater));
}

void procedimento(test::BancoTeste& b, int id, int proc, int qtd, const char* sus = "10.00")
{
    b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                             "quantidade, realizado, valortotalsus) values ('4314902', %1, 'M', %2, %3, 'S', %4)")
                  .arg(id)
                  .arg(proc)
                  .arg(qtd)
                  .arg(QLatin1String(sus)));
}

// A month with consolidated and individualized lines and lines that stay out.
void producao(test::BancoTeste& b)
{
    cadastros(b);
    autorizacao(b, 1, 1, 1, "45", "2026-03-10 10:00", "'m54.5'", "1490200000001", "2");
    procedimento(b, 1, 1, 2);
    procedimento(b, 1, 3, 1);
    autorizacao(b, 2, 2, 1, "30", "2026-03-31 23:59:58", "null", "14902C1000002", "null");
    procedimento(b, 2, 1, 1);
    procedimento(b, 2, 2, 5);
    autorizacao(b, 3, 3, 1, "null", "2026-03-01 00:00:01", "'r51'", "1490200000003", "0");
    procedimento(b, 3, 3, 1);
    autorizacao(b, 4, 1, 2, "45", "2026-03-10 10:00", "null", "1490200000004", "null"); // professional 'X'
    procedimento(b, 4, 1, 9);
    procedimento(b, 4, 3, 9);
    autorizacao(b, 5, 1, 3, "45", "2026-03-10 10:00", "null", "1490200000005", "null"); // no CNS
    procedimento(b, 5, 1, 7);
    procedimento(b, 5, 3, 7);
    autorizacao(b, 6, 1, 1, "45", "2026-04-01 00:00:00", "null", "1490200000006", "null"); // next month
    procedimento(b, 6, 1, 3);
    autorizacao(b, 8, 2, 1, "1200", "2026-03-20 08:00", "''", "14902C1000008", "1");
    procedimento(b, 8, 3, 1);
}

// `n` consolidated records (one procedure each) and `m` individualized ones.
void registros(test::BancoTeste& b, int n, int m)
{
    cadastros(b);
    b.executa(QStringLiteral(
                  "execute block as declare i integer = 0; begin "
                  "while (i < %1) do begin "
                  "insert into s_pa (pa_id, pa_dv, pa_idebpa) values (lpad(100000000 + :i, 9, '0'), '0', 'N'); "
                  "insert into procedimentos (codigo, nome, codtabsus, registro) "
                  "values (100 + :i, 'P', lpad(100000000 + :i, 9, '0') || '0', 'C'); "
                  "insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codprofissional, data_importacao) "
                  "values ('4314902', 1000 + :i, 'M', 1, 1, '2026-03-10'); "
                  "insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, quantidade) "
                  "values ('4314902', 1000 + :i, 'M', 100 + :i, 1); i = i + 1; end "
                  "i = 0; while (i < %2) do begin "
                  "insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codprofissional, data_importacao, "
                  "datarealizacao, chaveimpre, codcid) values ('4314902', 100000 + :i, 'M', 1, 1, '2026-03-10', "
                  "'2026-03-09', '1', 'A01'); "
                  "insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, quantidade) "
                  "values ('4314902', 100000 + :i, 'M', 3, 1); i = i + 1; end end")
                  .arg(n)
                  .arg(m));
}

bpa::Individualizado individualizado(const QString& cartao, const QString& fones, const QString& chave)
{
    bpa::Individualizado r;
    r.codigo = QStringLiteral("0211070041");
    r.quantidade = 1;
    r.cbo = QStringLiteral("225125");
    r.cnsProfissional = QStringLiteral("700000000000005");
    r.chave = chave;
    r.idade = 40;
    r.realizacao = QDate(2026, 3, 9);
    r.origem = QStringLiteral("4314902");
    r.cep = QStringLiteral("90010-000");
    r.cartao = cartao;
    r.sexo = QStringLiteral("F");
    r.nome = QStringLiteral("PACIENTE");
    r.nascimento = QDate(1986, 1, 2);
    r.fones = fones;
    r.cid = QStringLiteral("A01");
    return r;
}

} // namespace

class TstBpa : public QObject {
    Q_OBJECT

private slots:
    void controle_data()
    {
        QTest::addColumn<qint64>("soma");
        QTest::addColumn<int>("controle");
        // codes 0301010072 and 0202010473, quantities 2 and 5
        QTest::newRow("exemplo") << qint64(301010072 + 202010473 + 2 + 5) << 1970;
        QTest::newRow("zero") << qint64(0) << 1111;
        QTest::newRow("maior resto") << qint64(1110) << 2221;
        QTest::newRow("múltiplo") << qint64(1111) * 9000000 << 1111;
        QTest::newRow("acima de 32 bits") << qint64(9999) * 9999999999LL << int(9999 * 9999999999LL % 1111 + 1111);
    }
    void controle()
    {
        QFETCH(qint64, soma);
        QFETCH(int, controle);
        QCOMPARE(bpa::CampoControle(soma), controle);
    }

    // The period's production read back field by field.
    void arquivo()
    {
        test::BancoTeste b;
        producao(b);
        const bpa::ArquivoBpa a = bpa::MontaArquivoBpa(b.tr(), kIni, kFim, false, kId);
        QCOMPARE(a.nome, QStringLiteral("PA123456.Mar"));
        const Lido l = leArquivo(a.conteudo);
        QVERIFY(l.valido);

        const Registro& h = l.cabecalho;
        QCOMPARE(h["tipo"] + h["bpa"] + h["competencia"], QStringLiteral("01#BPA#202603"));
        QCOMPARE(h["linhas"], QStringLiteral("000007"));
        QCOMPARE(h["folhas"], QStringLiteral("000001"));
        QCOMPARE(h["controle"], QStringLiteral("1156"));
        QCOMPARE(h["orgao"], QStringLiteral("CUNE CONSORCIO").leftJustified(30));
        QCOMPARE(h["sigla"], QStringLiteral("CUNE  "));
        QCOMPARE(h["cnpj"], QStringLiteral("12345678000190"));
        QCOMPARE(h["destino"].trimmed(), QStringLiteral("CRS - COORDENADORIA REGIONAL DE SAUDE"));
        QCOMPARE(h["indicador"] + h["versao"], QStringLiteral("E2.28      "));
        QCOMPARE(a.controle, 1156);
        QCOMPARE(a.registros, 6);

        // Consolidated: by code, occupation and age; an age only where the table asks for it.
        QStringList c;
        for (const Registro& r : l.consolidados)
            c << QStringList{r["cnes"], r["competencia"], r["cbo"], r["folha"], r["seq"], r["proc"], r["idade"], r["qtd"],
                             r["origem"]}.join(QLatin1Char('|'));
        QCOMPARE(c, (QStringList{"1234567|202603|225125|001|01|0202010473|   |000005|EXT",
                                 "1234567|202603|225125|001|02|0301010072|030|000001|EXT",
                                 "1234567|202603|225125|001|03|0301010072|045|000002|EXT"}));

        QCOMPARE(l.individualizados.size(), 3);
        const Registro& m = l.individualizados[0];
        QCOMPARE(m["cnsProf"] + m["cbo"] + m["data"], QStringLiteral("700000000000005225125") + "20260309");
        QCOMPARE(m["folha"] + m["seq"] + m["proc"], QStringLiteral("00104") + "0211070041");
        QCOMPARE(m["cns"] + m["sexo"] + m["ibge"] + m["cid"], QStringLiteral("123456789010000F431490M545"));
        QCOMPARE(m["idade"] + m["qtd"] + m["carater"] + m["autorizacao"] + m["origem"],
                 QStringLiteral("045000001021490200000001EXT"));
        QCOMPARE(m["nome"], QStringLiteral("MARIA DA SILVA").leftJustified(30));
        QCOMPARE(m["nasc"] + m["raca"] + m["etnia"] + m["nacionalidade"], QStringLiteral("1980051001    010"));
        QCOMPARE(m["livre"], QString(32, QLatin1Char(' ')));
        QCOMPARE(m["cep"] + m["logradouro"] + m["endereco"].trimmed(), QStringLiteral("90010000081RUA DOS ANDRADAS"));
        QCOMPARE(m["complemento"] + m["numero"] + m["bairro"].trimmed(), QStringLiteral("          100  CENTRO"));
        QCOMPARE(m["fone"] + m["email"].trimmed() + m["ine"].trimmed() + m["cpf"] + m["situacaoRua"],
                 QStringLiteral("05133334444           N"));

        // A CPF in the card field, no sex, lower-case CID, no age, character 0.
        const Registro& p = l.individualizados[1];
        QCOMPARE(p["seq"] + p["cns"] + p["sexo"] + p["cid"] + p["idade"] + p["carater"],
                 QStringLiteral("05") + QString(16, QLatin1Char(' ')) + "R51 00001");
        QCOMPARE(p["raca"] + p["etnia"] + p["fone"] + p["cpf"], QStringLiteral("99    5199999888852998224725"));

        // "MODULOS", indigenous without ethnicity, no CID, age beyond 999, a consortium key.
        const Registro& j = l.individualizados[2];
        QCOMPARE(j["cns"] + j["cid"] + j["idade"] + j["autorizacao"] + j["nasc"],
                 QString(15, QLatin1Char(' ')) + "R529999" + QString(21, QLatin1Char(' ')));
        QCOMPARE(j["raca"] + j["etnia"] + j["numero"] + j["fone"] + j["cpf"],
                 QStringLiteral("050077") + "1    " + QString(22, QLatin1Char(' ')));

        QCOMPARE(a.erros, (QStringList{"Chave 1490200000003: Sexo Paciente; ",
                                       "Chave 14902C1000008: CNS Paciente; CID; Idade Paciente; Data Nascimento Paciente; "}));
        QVERIFY(a.falhas.isEmpty());
    }

    // Sheets of 20: the individualized records go on where the consolidated ones stopped, and the
    // header counts the sheet after a full one.
    void folhas_data()
    {
        QTest::addColumn<int>("consolidados");
        QTest::addColumn<int>("individualizados");
        QTest::addColumn<QString>("folhas");
        QTest::addColumn<QString>("ultimo");
        QTest::newRow("5 + 0") << 5 << 0 << "000001" << "00105";
        QTest::newRow("19 + 1") << 19 << 1 << "000002" << "00120";
        QTest::newRow("exatamente 20") << 20 << 0 << "000002" << "00120";
        QTest::newRow("20 + 1") << 20 << 1 << "000002" << "00201";
        QTest::newRow("0 + 41") << 0 << 41 << "000003" << "00301";
    }
    void folhas()
    {
        QFETCH(int, consolidados);
        QFETCH(int, individualizados);
        QFETCH(QString, folhas);
        QFETCH(QString, ultimo);
        test::BancoTeste b;
        registros(b, consolidados, individualizados);
        const Lido l = leArquivo(bpa::MontaArquivoBpa(b.tr(), kIni, kFim, true, kId).conteudo);
        QVERIFY(l.valido);
        QCOMPARE(l.consolidados.size(), consolidados);
        QCOMPARE(l.individualizados.size(), individualizados);
        QCOMPARE(l.cabecalho["folhas"], folhas);
        QCOMPARE(l.cabecalho["linhas"], ZerosEsquerda(consolidados + individualizados + 1, 6));
        const Registro& u = individualizados ? l.individualizados.last() : l.consolidados.last();
        QCOMPARE(u["folha"] + u["seq"], ultimo);
    }

    // The patient's identification, the telephone and the authorization number as numeric fields.
    void paciente_data()
    {
        QTest::addColumn<QString>("cartao");
        QTest::addColumn<QString>("fones");
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("esperado"); // card|phone|authorization|CPF
        QTest::addColumn<bool>("faltaCns");
        QTest::newRow("cartão definitivo") << "123456789010000" << "(51) 3333-4444 / 9999-0000" << "1490200000001"
                                           << "123456789010000|05133334444|1490200000001|           " << false;
        QTest::newRow("cartão provisório com pontos") << "898.0000.0000.0002" << "051 99999-8888, 3333" << "14902000000011234"
                                                      << "898000000000002|51999998888|1490200000001|           " << false;
        QTest::newRow("MODULOS") << "MODULOS" << "" << "14902C1000008"
                                 << "               |           |             |           " << true;
        QTest::newRow("CPF no campo do cartão") << "529.982.247-25" << "51;3333-4444" << ""
                                                << "               |00000000051|             |52998224725" << false;
        QTest::newRow("cartão inválido") << "123456789012345" << "+55 (51) 99999-8888" << "1490200000001"
                                         << "               |           |1490200000001|           " << true;
        QTest::newRow("CPF de dígitos repetidos") << "111.111.111-11" << "sem telefone" << "1490200000001"
                                                  << "               |           |1490200000001|           " << true;
    }
    void paciente()
    {
        QFETCH(QString, cartao);
        QFETCH(QString, fones);
        QFETCH(QString, chave);
        QFETCH(QString, esperado);
        QFETCH(bool, faltaCns);
        QString faltas;
        const QByteArray linha = bpa::RegistroIndividualizado(kId, kFim, {}, individualizado(cartao, fones, chave), &faltas);
        QVERIFY(linha.endsWith("\r\n"));
        const Registro r = le(linha.chopped(2), kIndividualizado, bpa::kTamIndividualizado);
        QVERIFY(!r.isEmpty());
        QCOMPARE(QStringList({r["cns"], r["fone"], r["autorizacao"], r["cpf"]}).join(QLatin1Char('|')), esperado);
        QCOMPARE(faltas.contains(QLatin1String("CNS Paciente; ")), faltaCns);
    }

    // Nothing is written for a CNES of another width, more than 9 999 records or a value that
    // cannot be a number.
    void recusas_data()
    {
        QTest::addColumn<QString>("cnes");
        QTest::addColumn<int>("individualizados");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("CNES de 6 dígitos") << "123456" << 1 << "" << "7 dígitos";
        QTest::newRow("CNES de 8 dígitos") << "12345678" << 1 << "" << "7 dígitos";
        QTest::newRow("CNES com letra") << "12345A7" << 1 << "" << "7 dígitos";
        QTest::newRow("10 000 registros") << "1234567" << 10000 << "" << "máximo 9999";
        QTest::newRow("raça não numérica") << "1234567" << 1 << "update pessoas set raca='X'" << "raça";
    }
    void recusas()
    {
        QFETCH(QString, cnes);
        QFETCH(int, individualizados);
        QFETCH(QString, sql);
        QFETCH(QString, mensagem);
        test::BancoTeste b;
        registros(b, 0, individualizados);
        if (!sql.isEmpty())
            b.executa(sql);
        bpa::Identificacao id = kId;
        id.cnes = cnes;
        try {
            bpa::MontaArquivoBpa(b.tr(), kIni, kFim, false, id);
            QFAIL("generated");
        } catch (const ErroValor& e) {
            QVERIFY2(e.texto().contains(mensagem), qPrintable(e.texto()));
        }
    }

    // The screen: the file in the export folder and its copy, the messages, the error list saved
    // through the dialog, and the two previews.
    void tela()
    {
        test::AmbienteTela a(QStringLiteral("CUNE"), {QStringLiteral("CNES=1234567"),
                                                     QStringLiteral("CNPJCPF=12.345.678/0001-90")});
        producao(a.b);
        SessaoAtual().CalendarioAtual = {QStringLiteral("01/03/2026"), QStringLiteral("31/03/2026"), QStringLiteral("MARÇO")};
        TelaRegistrada(QStringLiteral("BPABoletimdaProduoAmbulatorial1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelBPA>());
        SessaoAtual().CalendarioAtual = {};
        QCOMPARE(t->PEDataInicial->text() + t->PEDataFinal->text(), QStringLiteral("01/03/202631/03/2026"));
        QVERIFY(!t->PIndividualizado->isEnabled());
        t->RBMac->setChecked(true);

        QStringList previews;
        test::RoteiroModal roteiro([&](QDialog* d) {
            if (auto* p = qobject_cast<rel::UiPreview*>(d)) {
                previews << p->documento().textos(0).join(QLatin1Char('|'));
                rel::ImagemPagina(p->documento(), 0, 110)
                    .save(test::PastaTelas() + QStringLiteral("/bpa_previa%1.png").arg(previews.size()));
            }
            d->accept();
        });
        t->PBGerarArquivo->executa();
        const QString arquivo = bpa::PastaExportacaoBpa() + QStringLiteral("/NP123456.Mar");
        const QByteArray bytes = test::LeArquivo(arquivo);
        QVERIFY(leArquivo(bytes).valido);
        QCOMPARE(test::LeArquivo(bpa::PastaCopiaBpa() + QStringLiteral("/NP123456.Mar")), bytes);
        QCOMPARE(a.msgs.textos(), QStringList{QStringLiteral("Arquivo gerado! Anote o valor do campo de Controle: 1156\n"
                                                             "Pressione OK para salvar o arquivo com erros na geração do BPA")});
        const QString salvo = bpa::PastaExportacaoBpa() + QStringLiteral("/FAAs com erro - BPA 31032026 (MAC).txt");
        QCOMPARE(test::LeArquivo(salvo), QByteArray("Chave 1490200000003: Sexo Paciente; \r\n"
                                                    "Chave 14902C1000008: CNS Paciente; CID; Idade Paciente; "
                                                    "Data Nascimento Paciente; \r\n"));
        test::SalvaTela(t, QStringLiteral("bpa"));

        // BPA-C preview: ages completed first, MAC only (the glucose test is PAB), subtotals.
        t->PBtnImprimir->executa();
        QCOMPARE(a.texto("select idade from marcacao where id_marcacao=3"), QStringLiteral("36"));
        QCOMPARE(previews.size(), 1);
        QVERIFY2(previews[0].contains(QStringLiteral("(Proceds. MAC - Média e Alta Complexidade)")), qPrintable(previews[0]));
        QVERIFY2(previews[0].contains(QLatin1String("SubTot: 3 => R$ 20,00")), qPrintable(previews[0]));
        QVERIFY(!previews[0].contains(QLatin1String("0202010473")));

        // BPA-I preview of the professionals without CNS.
        t->RBTodos->setChecked(true);
        t->RBIndividualizado->setChecked(true);
        QVERIFY(t->PIndividualizado->isEnabled());
        t->RBProfTodos->setChecked(true);
        a.b.executa("update profissionais set cnsbpa='' where codigo=3");
        t->PBtnImprimir->executa();
        QCOMPARE(previews.size(), 2);
        QVERIFY2(previews[1].contains(QLatin1String("1490200000005")), qPrintable(previews[1]));
        QVERIFY(!previews[1].contains(QLatin1String("1490200000001")));
        delete t;
    }
};

QTEST_MAIN(TstBpa)
#include "tst_bpa.moc"
