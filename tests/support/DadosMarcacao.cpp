#include "support/DadosMarcacao.h"
#include "support/Fixtures.h"

namespace vx::test {

void PreparaMarcacao(BancoTeste& b, bool apac)
{
    b.executa("insert into ibgemunic (codigo, cidade, uf) values ('4314902', 'PORTO ALEGRE', 'RS')");
    b.executa(QStringLiteral("insert into clientes (codigo, nome, fones, apac, mostrarvalor) values "
                             "('4314902', 'PORTO ALEGRE', '(51) 3289-1000', '%1', 'S')")
                  .arg(apac ? "S" : "N"));
    b.executa("insert into cid (codigo, descricao) values ('M545', 'DOR LOMBAR BAIXA')");
    const char* pessoa = "insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, "
                         "endereco, bairro, cep, nomemae) values ('4314902', %1, '%2', '%3', '1980-05-04', 'F', '01', "
                         "%4, 'CENTRO', '90010000', 'ANA SOUZA')";
    b.executa(QString::fromLatin1(pessoa).arg(1).arg("123456789010000", "MARIA DA SILVA", "'RUA DA PRAIA'"));
    b.executa(QString::fromLatin1(pessoa).arg(2).arg("200000000000003", "JOAO PEREIRA", "null"));
    b.executa(QString::fromLatin1(pessoa).arg(3).arg("MODULOS", "PEDRO MODULOS", "null"));
    b.executa(QString::fromLatin1(pessoa).arg(4).arg("123456789010001", "CARLOS CARTAO", "'RUA A'"));
    b.executa("insert into entidades (codigo, razaosocial, endereco, cnes) values (10, 'CLINICA VIDA', "
              "'AV. IPIRANGA, 100', '2233445')");
    b.executa("insert into entidades (codigo, razaosocial) values (11, 'HOSPITAL SUL')");
    b.executa("insert into profissionais (codigo, nome, contato) values (20, 'DRA. LUCIA ALVES', 'RUA DOS ANDRADAS, 50')");
    b.executa("insert into profissionais (codigo, nome) values (21, 'DR. PAULO REIS')");
    b.executa("insert into profissionais (codigo, nome) values (22, 'DR. ICARO LIMA')");
    b.executa("insert into entidadesprofiss (codentidade, codprofissional) values (10, 20)");
    b.executa("insert into entidadesprofiss (codentidade, codprofissional) values (11, 21)");
    b.executa("insert into entidadesprofiss (codentidade, codprofissional) values (11, 22)");
    const char* proc = "insert into procedimentos (codigo, nome, quantmax, valor, valorsus, codtabsus, requerapac, "
                       "registro) values (%1, '%2', %3, %4, %5, '%6', '%7', '%8')";
    b.executa(QString::fromLatin1(proc).arg(101).arg("CONSULTA MEDICA ESPECIALIZADA").arg(1).arg("10.10", "10.00",
                                                                                                 "0301010072", "N", "C"));
    b.executa(QString::fromLatin1(proc).arg(102).arg("FISIOTERAPIA MOTORA").arg(10).arg("5.00", "4.67", "0302050027",
                                                                                         "N", "I"));
    b.executa(QString::fromLatin1(proc).arg(103).arg("RESSONANCIA MAGNETICA").arg(1).arg("400.00", "268.75",
                                                                                         "0207010064", "S", "C"));
    b.executa(QString::fromLatin1(proc).arg(104).arg("ECOGRAFIA ABDOMINAL").arg(1).arg("60.00", "37.95", "0205020046",
                                                                                       "N", "C"));
    for (int i = 200; i < 220; ++i)
        b.executa(QString::fromLatin1(proc).arg(i).arg(QStringLiteral("EXAME %1").arg(i)).arg(1).arg("1.00", "1.00",
                                                                                                     "0202000000", "N", "C"));
    b.executa("insert into profissproced (codentidade, codprofissional, codprocedimento) "
              "select 10, 20, codigo from procedimentos");
    b.executa("insert into profissproced (codentidade, codprofissional, codprocedimento) values (11, 21, 101)");
}

} // namespace vx::test
