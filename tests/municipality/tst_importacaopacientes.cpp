// Imports of patient registers (municipal text file, SEPIN and CadSUS databases) on a real
// database, external databases created here, and the screen driven through its menu item.
#include "core/Banco.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "municipality/ImportacaoPacientes.h"
#include "municipality/TFImportacaoSepin.h"
#include "support/AmbienteTela.h"
#include "support/Trechos.h"
#include "support/Galeria.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace vx;

namespace {

const char* const kMun = "4314902";
const char* const kHoje = "10/03/2026";

// Patients before every import: two of this municipality, two of another one.
void povoa(test::BancoTeste& b)
{
    b.executa("update or insert into ibgemunic (codigo, cidade, uf) values ('4314902', 'PORTO ALEGRE', 'RS') "
              "matching (codigo)");
    b.executa("insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, responsavel, nomemae, "
              "endereco, fones, obs) values ('4314902', 1, '700000000000001', 'ANTIGO NOME', '1970-01-01', 'M', '01', "
              "'RESP', 'MAE ANTIGA', 'RUA VELHA', '5100', 'obs antiga')");
    b.executa("insert into pessoas (cli_origem, codigo, nome, datanasc) values ('4314902', 2, 'JOSE POR NOME', "
              "'1985-04-04')");
    b.executa("insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc) values ('4300000', 1, "
              "'700000000000002', 'PACIENTE DE FORA', '1980-02-02')");
    b.executa("insert into pessoas (cli_origem, codigo, nome, datanasc) values ('4300000', 2, 'FORA POR NOME', "
              "'1990-03-03')");
}

struct Ambiente : test::AmbienteTela {
    Ambiente() : AmbienteTela(QStringLiteral("M4314902"))
    {
        SessaoAtual().DataAtual = QLatin1String(kHoje);
        povoa(b);
    }
};

// PESSOAS as "origin|code|card|name|birth|sex|race|responsible|mother|address|phones|obs", nulls as "~".
QStringList pessoas(test::BancoTeste& b)
{
    Transacao tr(b.conexao());
    Consulta q(tr);
    QStringList linhas;
    for (q.abre("select cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, responsavel, nomemae, endereco, "
                "fones, obs from pessoas order by cli_origem, codigo");
         !q.eof(); q.proximo()) {
        QStringList c;
        for (int i = 0; i < q.numCampos(); ++i)
            c << (q.campo(i).nulo ? QStringLiteral("~") : q.campo(i).texto());
        linhas << c.join('|');
    }
    return linhas;
}

QStringList menos(QStringList a, const QStringList& b)
{
    for (const QString& s : b)
        a.removeAll(s);
    return a;
}

// One line of the municipal file; the 33 columns that are not read hold "#".
QByteArray linha(const QString& codigo, const QString& nome, const QString& nasc, const QString& cartao = {},
                 const QString& mae = QStringLiteral("MAE"), const QString& rua = QStringLiteral("RUA A, 10"),
                 const QString& bairro = QStringLiteral("CENTRO"), const QString& fone = QStringLiteral("5133330000"))
{
    const QString s = AjustaTexto(codigo, 7) + AjustaTexto(nome, 35) + AjustaTexto(nasc, 10) + AjustaTexto(mae, 35) +
                      QStringLiteral("F") + AjustaTexto(cartao, 15) + AjustaTexto(rua, 35) + AjustaTexto(bairro, 25) +
                      QString(33, QLatin1Char('#')) + AjustaTexto(fone, 12);
    return s.toLatin1();
}

QString obsTexto(const char* codigo) { return QStringLiteral("Import. BD Próprio Cod. %1 dia %2").arg(codigo, kHoje); }

QString gravaTexto(const QString& pasta, const QByteArray& dados)
{
    const QString arquivo = QDir(pasta).filePath("cadastro.txt");
    QFile f(arquivo);
    f.open(QIODevice::WriteOnly);
    f.write(dados);
    return arquivo;
}

// A database of another system with the given statements (DDL committed one by one).
QString criaBancoExterno(const QString& arquivo, const QStringList& sqls)
{
    Conexao::criaBanco(arquivo, UsuarioBanco(), SenhaBanco(), false);
    Conexao c;
    c.conecta(arquivo, UsuarioBanco(), SenhaBanco());
    Transacao t(c);
    for (const QString& s : sqls) {
        t.inicia();
        t.executa(s);
        t.commit();
    }
    return arquivo;
}

QStringList tabelasCadSus()
{
    return {"create table TB_MS_USUARIO (CO_USUARIO char(12), NO_USUARIO varchar(70), NO_MAE varchar(70), "
            "DT_NASCIMENTO timestamp, CO_SEXO char(1), NU_TELEFONE varchar(20), CO_RACA varchar(2))",
            "create table TB_MS_CONTROLE_USUARIO (CO_USUARIO char(12), CO_ENDERECO integer, CO_DOMICILIO integer)",
            "create table TB_MS_ENDERECO (CO_ENDERECO integer, NO_LOGRADOURO varchar(60), NU_LOGRADOURO varchar(10), "
            "NO_BAIRRO varchar(40))",
            "create table TB_MS_DOMICILIO (CO_DOMICILIO integer)",
            "create table TB_MS_USUARIO_CNS_ELOS (CO_USUARIO char(12), CO_NUMERO_CARTAO varchar(30))"};
}

QString usuarioCadSus(const QString& codigo, const QString& nome, const QString& nasc, const QString& raca)
{
    return QStringLiteral("insert into TB_MS_USUARIO values ('%1', '%2', 'MAE CNS', %3, 'M', '5199', '%4')")
        .arg(codigo, nome, nasc.isEmpty() ? QStringLiteral("null") : "'" + nasc + " 00:00:00'", raca);
}

QString cartaoCadSus(const QString& codigo, const QString& cartao)
{
    return QStringLiteral("insert into TB_MS_USUARIO_CNS_ELOS values ('%1', '%2')").arg(codigo, cartao);
}

ParametrosImportacao parametros(FonteImportacao fonte, const QString& arquivo)
{
    ParametrosImportacao p;
    p.fonte = fonte;
    p.arquivo = arquivo;
    p.municipio = QLatin1String(kMun);
    p.hoje = QLatin1String(kHoje);
    return p;
}

// "read/inserted/updated/other municipality/without birth date/refused"
QString contagens(const ResumoImportacao& r)
{
    return QStringLiteral("%1/%2/%3/%4/%5/%6")
        .arg(r.lidos).arg(r.inseridos).arg(r.atualizados).arg(r.outroMunicipio).arg(r.semNascimento)
        .arg(r.recusadas.size());
}

} // namespace

class TstImportacaoPacientes : public QObject {
    Q_OBJECT

private slots:
    void arquivoTexto_data()
    {
        QTest::addColumn<QByteArrayList>("linhas");
        QTest::addColumn<QString>("contagens");
        QTest::addColumn<QStringList>("novas");   // PESSOAS rows after the import that were not there before
        QTest::addColumn<int>("alteradas");       // rows of before that changed
        QTest::addColumn<QStringList>("avisos");  // messages shown
        QTest::addColumn<QStringList>("recusas");

        const QString mae = QStringLiteral("MAE");
        QTest::newRow("nova") << QByteArrayList{linha("0000101", "MARIA DA SILVA", "15/03/1980", "700000000000010")}
                              << "1/1/0/0/0/0"
                              << QStringList{"4314902|3|700000000000010|MARIA DA SILVA|15/03/1980|F|99||MAE|"
                                             "RUA A, 10 - CENTRO|5133330000|" + obsTexto("0000101")}
                              << 0 << QStringList() << QStringList();
        // ISO-8859-1 bytes; a blank line is no record; the line cut after the sex column (trailing
        // blanks removed by the exporter) has no card, address or phone.
        QByteArray acentos = linha("0000102", QString::fromUtf8("JOSÉ CONCEIÇÃO"), "01/12/1950", "",
                                   QString::fromUtf8("MÃE ÁGUA"));
        acentos.truncate(88);
        QTest::newRow("acentos e linha sem o fim") << QByteArrayList{"   ", acentos} << "1/1/0/0/0/0"
                                                  << QStringList{QString::fromUtf8("4314902|3||JOSÉ CONCEIÇÃO|01/12/1950|F|99||MÃE ÁGUA|||") + obsTexto("0000102")}
                                                  << 0 << QStringList() << QStringList();
        QTest::newRow("cartão da casa: atualiza")
            << QByteArrayList{linha("0000105", "NOVO NOME", "02/02/1972", "700000000000001", mae, "RUA B", "BAIRRO", "")}
            << "1/0/1/0/0/0"
            << QStringList{"4314902|1|700000000000001|NOVO NOME|02/02/1972|F|99|RESP|MAE|RUA B - BAIRRO||" + obsTexto("0000105")}
            << 1 << QStringList() << QStringList();
        QTest::newRow("sem cartão: nome e nascimento")
            << QByteArrayList{linha("0000106", "JOSE POR NOME", "04/04/1985")} << "1/0/1/0/0/0"
            << QStringList{"4314902|2||JOSE POR NOME|04/04/1985|F|99|~|MAE|RUA A, 10 - CENTRO|5133330000|" + obsTexto("0000106")}
            << 1 << QStringList() << QStringList();
        QTest::newRow("mesmo nome, outro nascimento: nova")
            << QByteArrayList{linha("0000107", "JOSE POR NOME", "05/04/1985")} << "1/1/0/0/0/0"
            << QStringList{"4314902|3||JOSE POR NOME|05/04/1985|F|99||MAE|RUA A, 10 - CENTRO|5133330000|" + obsTexto("0000107")}
            << 0 << QStringList() << QStringList();
        QTest::newRow("outro município, por cartão e por nome")
            << QByteArrayList{linha("0000108", "OUTRO", "01/01/2000", "700000000000002"),
                              linha("0000109", "FORA POR NOME", "03/03/1990")}
            << "2/0/0/2/0/0" << QStringList() << 0
            << QStringList{"Paciente cadastrado no Sepin com o código 0000108 já foi cadastrado neste programa pelo "
                           "município 4300000",
                           "Paciente cadastrado no Sepin com o código 0000109 já foi cadastrado neste programa pelo "
                           "município 4300000"}
            << QStringList();
        QTest::newRow("cartão repetido no arquivo")
            << QByteArrayList{linha("0000110", "ANA DUPLA", "07/07/2007", "700000000000020"),
                              linha("0000111", "ANA DUPLA SEGUNDA", "07/07/2007", "700000000000020")}
            << "2/1/1/0/0/0"
            << QStringList{"4314902|3|700000000000020|ANA DUPLA SEGUNDA|07/07/2007|F|99||MAE|RUA A, 10 - CENTRO|"
                           "5133330000|" + obsTexto("0000111")}
            << 0 << QStringList() << QStringList();
        QByteArray cortada = linha("0000115", "CARTAO CORTADO", "01/01/2001", "700000000000099");
        cortada.truncate(95);
        QTest::newRow("linhas recusadas")
            << QByteArrayList{"0000112JOAO", linha("0000113", "DATA RUIM", "31/02/1980"),
                              linha("0000114", "", "01/01/2001"), cortada,
                              linha("0000116", "FUTURO", "11/03/2026"), linha("0000117", "SEM DATA", "")}
            << "6/0/0/0/0/6" << QStringList() << 0 << QStringList()
            << QStringList{"Linha 1: linha com 11 caracteres, menor que o mínimo de 52",
                           "Linha 2: data de nascimento inválida: \"31/02/1980\"", "Linha 3: nome em branco",
                           "Linha 4: Cartão SUS inválido: \"7000000\"",
                           "Linha 5: data de nascimento inválida: \"11/03/2026\"",
                           "Linha 6: data de nascimento em branco"};
    }

    void arquivoTexto()
    {
        QFETCH(QByteArrayList, linhas);
        QFETCH(QString, contagens);
        QFETCH(QStringList, novas);
        QFETCH(int, alteradas);
        QFETCH(QStringList, avisos);
        QFETCH(QStringList, recusas);
        Ambiente a;
        const QStringList antes = pessoas(a.b);
        // CR LF as the municipal systems write it.
        const QString arquivo = gravaTexto(a.b.pasta(), linhas.join("\r\n") + "\r\n");
        ResumoImportacao r;
        QStringList progresso;
        ImportaPacientes(a.dm->IBTransaction, parametros(FonteImportacao::ArquivoMunicipal, arquivo), r,
                         [&](int n, int total, const QString& nome) { progresso << TextoProgresso(n, total, nome); });
        const QStringList depois = pessoas(a.b);
        QCOMPARE(::contagens(r), contagens);
        QCOMPARE(menos(depois, antes), novas);
        QCOMPARE(menos(antes, depois).size(), alteradas);
        QCOMPARE(a.msgs.textos(), avisos);
        QCOMPARE(r.avisos, avisos);
        QCOMPARE(r.linhas().mid(6), recusas);
        QCOMPARE(progresso.size(), r.lidos - int(r.recusadas.size()));
        QCOMPARE(test::DiferencaTrechos(a.b.conexao()), QString()); // the search's word pieces follow
        QCOMPARE(a.numero("select count(*) from logs where tabela='Pessoas' and situacao='I'"), 1);
    }

    void bancoSepin()
    {
        Ambiente a;
        const QStringList antes = pessoas(a.b);
        const QString banco = criaBancoExterno(
            QDir(a.b.pasta()).filePath("BDSEPIN.FDB"),
            {"create table pessoas (CODIGO integer, CARTAOSUS varchar(20), DTNASCIMENTO date, NOME varchar(80), "
             "FONE varchar(80), SEXO varchar(9), RACA varchar(9), NOMEMAE varchar(80), ENDERECO varchar(120))",
             "insert into pessoas values (7, 'X', '1975-05-05', '*MARIA SEPIN*', '5132', 'FEM', '3', 'MAE S', 'RUA S')",
             "insert into pessoas values (8, null, null, 'SEM DATA NOVO', null, 'M', '01', null, null)",
             "insert into pessoas values (9, '', null, '*JOSE POR NOME*', '', 'M', '02', 'MAE J', 'RUA J')",
             "insert into pessoas values (10, '700000000000002', '1980-02-02', 'PACIENTE DE FORA', '', 'M', '01', '', '')"});
        ResumoImportacao r;
        ImportaPacientes(a.dm->IBTransaction, parametros(FonteImportacao::Sepin, banco), r);
        QCOMPARE(contagens(r), QString("4/1/1/1/1/0"));
        const QStringList depois = pessoas(a.b);
        QCOMPARE(menos(depois, antes),
                 // Matched by name alone: the birth date registered here is kept.
                 QStringList({"4314902|2||JOSE POR NOME|04/04/1985|M|02|~|MAE J|RUA J||Import. Sepin Cod. 000009 dia 10/03/2026",
                              "4314902|3|X|MARIA SEPIN|05/05/1975|F|3||MAE S|RUA S|5132|Import. Sepin Cod. 000007 dia "
                              "10/03/2026"}));
        QCOMPARE(menos(antes, depois).size(), 1);
        QCOMPARE(a.msgs.textos(), QStringList("Paciente cadastrado no Sepin com o código 10 já foi cadastrado neste "
                                              "programa pelo município 4300000"));
    }

    void bancoCadSus()
    {
        Ambiente a;
        const QStringList antes = pessoas(a.b);
        const QString banco = criaBancoExterno(
            QDir(a.b.pasta()).filePath("DB_CNS.GDB"),
            tabelasCadSus() + QStringList{
                usuarioCadSus("U1", "ANA CNS", "1960-06-01", "3"), cartaoCadSus("U1", "700000000000030"),
                "insert into TB_MS_CONTROLE_USUARIO values ('U1', 1, 1)",
                "insert into TB_MS_ENDERECO values (1, 'RUA X', '12', 'CENTRO')",
                "insert into TB_MS_DOMICILIO values (1)",
                usuarioCadSus("U2", "BETO CNS", "", "X"),
                usuarioCadSus("U3", "NOVO NOME CNS", "1970-01-01", "3"), cartaoCadSus("U3", "700000000000001")});
        ResumoImportacao r;
        ImportaPacientes(a.dm->IBTransaction, parametros(FonteImportacao::CadSus, banco), r);
        QCOMPARE(contagens(r), QString("3/2/1/0/0/0"));
        const QStringList depois = pessoas(a.b);
        // The race of the update is padded as on insert.
        QCOMPARE(menos(depois, antes),
                 QStringList({"4314902|1|700000000000001|NOVO NOME CNS|01/01/1970|M|03|RESP|MAE CNS||5199|"
                              "Import. CNS Cod. U3 dia 10/03/2026",
                              "4314902|3|700000000000030|ANA CNS|01/06/1960|M|03||MAE CNS|RUA X, 12 - CENTRO|5199|"
                              "Import. CNS Cod. U1 dia 10/03/2026",
                              "4314902|4||BETO CNS|~|M|99||MAE CNS||5199|Import. CNS Cod. U2 dia 10/03/2026"}));
        QCOMPARE(menos(antes, depois).size(), 1);
    }

    // A value the database refuses on the last record: nothing is kept, the other database is
    // detached.
    void falhaTardiaDesfazTudo()
    {
        Ambiente a;
        QStringList sqls = tabelasCadSus();
        for (int i = 1; i <= 40; ++i)
            sqls << usuarioCadSus(QString("A%1").arg(i, 3, 10, QChar('0')), QString("PACIENTE %1").arg(i, 3, 10, QChar('0')),
                                  "1990-01-01", "1");
        sqls << cartaoCadSus("A001", "700000000000001"); // an update on the way
        sqls << usuarioCadSus("Z999", "ZULMIRA", "1990-01-01", "1") << cartaoCadSus("Z999", "7000000000000010000000001");
        const QString banco = criaBancoExterno(QDir(a.b.pasta()).filePath("DB_CNS.FDB"), sqls);
        const QStringList antes = pessoas(a.b);
        ResumoImportacao r;
        bool falhou = false;
        try {
            ImportaPacientes(a.dm->IBTransaction, parametros(FonteImportacao::CadSus, banco), r);
        } catch (const ErroBanco&) {
            falhou = true;
        }
        QVERIFY(falhou);
        QVERIFY(!r.concluida);
        QVERIFY2(r.erro.contains("truncation", Qt::CaseInsensitive), qPrintable(r.erro));
        QCOMPARE(contagens(r), QString("41/39/1/0/0/0"));
        QVERIFY(!a.dm->IBTransaction.ativa());
        QCOMPARE(pessoas(a.b), antes);
        QCOMPARE(a.numero("select count(*) from logs where tabela='Pessoas'"), 0);
        Conexao c;
        c.conecta(banco, UsuarioBanco(), SenhaBanco());
        Transacao t(c);
        QCOMPARE(t.valor("select count(*) from mon$attachments where mon$system_flag = 0").toInt(), 1);
    }

    // "Importação Cadastro Municipal" from the menu: header, file dialog, import, summary.
    void telaPeloMenu()
    {
        Ambiente a;
        const QString arquivo = gravaTexto(a.b.pasta(), linha("0000201", "PACIENTE DA TELA", "20/08/1999", "700000000000040")
                                                            + "\n0000202CURTA\n"
                                                            + linha("0000203", "OUTRO", "01/01/2000", "700000000000002")
                                                            + "\n" + linha("0000204", "ULTIMO DA TELA", "21/08/1999"));
        QString cabecalho, legenda, progresso, resultado, resumo, png;
        QStringList filtros;
        bool iniciarLigado = false;
        QTimer::singleShot(0, [&] {
            auto* t = InstanciaTela<TFImportacaoSepin>();
            if (!t)
                return;
            cabecalho = t->LCodMun()->text() + ' ' + t->LNomeMun()->text();
            legenda = t->PEArquivoBD()->editLabel()->text();
            iniciarLigado = t->PBOK()->isEnabled();
            {
                test::RoteiroModal modal([&](QDialog* d) {
                    auto* fd = qobject_cast<QFileDialog*>(d);
                    filtros = fd->nameFilters();
                    fd->findChild<QLineEdit*>("fileNameEdit")->setText(arquivo);
                    d->accept();
                });
                t->SBArquivoBD()->click();
            }
            t->PBOK()->executa();
            progresso = t->LProgresso()->text();
            resultado = t->LResultado()->text();
            resumo = t->MResumo()->toPlainText();
            png = test::SalvaTela(t, "TFImportacaoSepin");
            t->close();
        });
        TelaRegistrada("ImportaoCadastroMunicipal1")();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!InstanciaTela<TFImportacaoSepin>());
        QCOMPARE(cabecalho, QString("4314902 PORTO ALEGRE"));
        QCOMPARE(legenda, QString("Arquivo Base de Dados:"));
        QVERIFY(iniciarLigado);
        QCOMPARE(filtros.value(0), QString("Arquivos de Texto (*.TXT *.txt)"));
        QCOMPARE(progresso, QString("Cadastro 000003 de 000003 - ULTIMO DA TELA"));
        QCOMPARE(resultado, QString("Importação concluída com sucesso!"));
        QCOMPARE(resumo.split('\n'),
                 QStringList({"Registros lidos: 4", "Incluídos: 2", "Atualizados: 0",
                              "Não alterados (cadastrados por outro município): 1",
                              "Não incluídos (sem data de nascimento): 0", "Linhas recusadas: 1",
                              "Linha 2: linha com 12 caracteres, menor que o mínimo de 52"}));
        QCOMPARE(a.msgs.quantidade(), 1);
        QCOMPARE(a.numero("select count(*) from pessoas where cartaosus='700000000000040'"), 1);
        QVERIFY(!png.isEmpty());

        // Outside the municipality role the import cannot start; a failure keeps the summary.
        SessaoAtual().UsuarioInstalacao = QStringLiteral("CUNE");
        auto* t = new TFImportacaoSepin(FonteImportacao::Sepin);
        QCOMPARE(t->LNomeMun()->text(), QString("MUNICÍPIO NÃO CONFIGURADO"));
        QCOMPARE(t->PEArquivoBD()->editLabel()->text(), QString("Local do Banco de Dados BDSEPIN:"));
        QVERIFY(!t->PBOK()->isEnabled());
        delete t;
        SessaoAtual().UsuarioInstalacao = QStringLiteral("M4314902");
        auto* s = test::AbreTelaTeste(CriaTela<TFImportacaoSepin>(FonteImportacao::Sepin));
        s->PEArquivoBD()->setText(QDir(a.b.pasta()).filePath("nao-existe.fdb"));
        s->PBOK()->executa();
        QCOMPARE(s->LResultado()->text(), QString("Falha na importação, tente novamente ou contate o suporte técnico!"));
        QVERIFY(s->MResumo()->toPlainText().startsWith("Erro: "));
        QVERIFY(s->PBOK()->isEnabled());
        test::SalvaTela(s, "TFImportacaoSepin-falha");
        s->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(TstImportacaoPacientes)
#include "tst_importacaopacientes.moc"
