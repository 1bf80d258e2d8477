#include "core/schema/Esquema.h"
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/schema/Cadeia.h"
#include "core/schema/Catalogo.h"

namespace vx {

using namespace catalogo;

// Tables as they were before the first versioned upgrade. Column lengths follow the screens
// that fill them.
void CriaTabelasIniciais(Transacao& tr)
{
    tr.inicia();
    criaTabela(tr, "TABDIV", "VERSAOBANCO VARCHAR(10), VERSAOEXE VARCHAR(10)");
    criaTabela(tr, "USUARIOS", "USUARIO VARCHAR(15) NOT NULL, SENHA VARCHAR(15), "
                               "CONSTRAINT PK_USUARIOS PRIMARY KEY (USUARIO)");
    criaTabela(tr, "LOGS", "USUARIO VARCHAR(15), DATAHORA TIMESTAMP, TABELA VARCHAR(50), SITUACAO VARCHAR(1), "
                           "OUTRASINFO BLOB SUB_TYPE TEXT");
    criaTabela(tr, "IBGEMUNIC", "CODIGO VARCHAR(7) NOT NULL, CIDADE VARCHAR(60), UF VARCHAR(2), "
                                "CONSTRAINT PK_IBGEMUNIC PRIMARY KEY (CODIGO)");
    criaTabela(tr, "CBO", "CODIGO VARCHAR(7) NOT NULL, DESCRICAO VARCHAR(200), "
                          "CONSTRAINT PK_CBO PRIMARY KEY (CODIGO)");
    criaTabela(tr, "CID", "CODIGO VARCHAR(10) NOT NULL, DESCRICAO VARCHAR(200), "
                          "CONSTRAINT PK_CID PRIMARY KEY (CODIGO)");
    criaTabela(tr, "CLIENTES", "CODIGO VARCHAR(7) NOT NULL, NOME VARCHAR(100), CONTATO VARCHAR(100), "
                               "FONES VARCHAR(50), CNPJ VARCHAR(20), POPULACAO INTEGER, CEP VARCHAR(10), "
                               "OBS VARCHAR(500), CONSTRAINT PK_CLIENTES PRIMARY KEY (CODIGO)");
    criaTabela(tr, "CLILIMITES", "CODCLIENTE VARCHAR(7) NOT NULL, PERIODO VARCHAR(7) NOT NULL, "
                                 "VALOR NUMERIC(10,2), OBS VARCHAR(100), "
                                 "CONSTRAINT PK_CLILIMITES PRIMARY KEY (CODCLIENTE, PERIODO)");
    criaTabela(tr, "GRUPOSPROCED", "CODIGO INTEGER NOT NULL, NOME VARCHAR(100), "
                                   "CONSTRAINT PK_GRUPOSPROCED PRIMARY KEY (CODIGO)");
    criaTabela(tr, "PROCEDIMENTOS", "CODIGO INTEGER NOT NULL, NOME VARCHAR(100), CODGRUPO INTEGER, "
                                    "REQUERAPAC CHAR(1), CBO VARCHAR(20), QUANTMAX INTEGER, VALOR NUMERIC(10,2), "
                                    "VALORSUS NUMERIC(10,2), CODTABSUS VARCHAR(10), REGISTRO VARCHAR(2), "
                                    "CONSTRAINT PK_PROCEDIMENTOS PRIMARY KEY (CODIGO)");
    criaTabela(tr, "PROFISSIONAIS", "CODIGO INTEGER NOT NULL, NOME VARCHAR(100), CONTATO VARCHAR(100), "
                                    "EMAIL VARCHAR(100), CPF VARCHAR(14), CARTAOSUS VARCHAR(20), "
                                    "CONSELHO VARCHAR(20), CBO VARCHAR(7), OBS VARCHAR(500), "
                                    "CONSTRAINT PK_PROFISSIONAIS PRIMARY KEY (CODIGO)");
    criaTabela(tr, "ENTIDADES", "CODIGO INTEGER NOT NULL, RAZAOSOCIAL VARCHAR(100), NOMEFANTASIA VARCHAR(100), "
                                "ENDERECO VARCHAR(100), CODMUN VARCHAR(7), CEP VARCHAR(10), CONTATO VARCHAR(100), "
                                "FONES VARCHAR(50), FAX VARCHAR(50), EMAIL VARCHAR(100), CNPJ VARCHAR(20), "
                                "CPF VARCHAR(14), IE VARCHAR(20), CNES VARCHAR(10), CODCONTABIL VARCHAR(20), "
                                "OBS VARCHAR(500), ISENTOIR CHAR(1), SIMPLESNAC CHAR(1), "
                                "CONSTRAINT PK_ENTIDADES PRIMARY KEY (CODIGO)");
    criaTabela(tr, "ENTIDADESPROFISS", "CODENTIDADE INTEGER NOT NULL, CODPROFISSIONAL INTEGER NOT NULL, "
                                       "CONSTRAINT PK_ENTIDADESPROFISS PRIMARY KEY (CODENTIDADE, CODPROFISSIONAL)");
    criaTabela(tr, "PROFISSPROCED", "CODENTIDADE INTEGER NOT NULL, CODPROFISSIONAL INTEGER NOT NULL, "
                                    "CODPROCEDIMENTO INTEGER NOT NULL, CONSTRAINT PK_PROFISSPROCED "
                                    "PRIMARY KEY (CODENTIDADE, CODPROFISSIONAL, CODPROCEDIMENTO)");
    criaTabela(tr, "PESSOAS", "CLI_ORIGEM VARCHAR(7) NOT NULL, CODIGO INTEGER NOT NULL, CARTAOSUS VARCHAR(20), "
                              "NOME VARCHAR(100), DATANASC DATE, SEXO CHAR(1), RACA VARCHAR(2), "
                              "RESPONSAVEL VARCHAR(100), NOMEMAE VARCHAR(100), ENDERECO VARCHAR(100), "
                              "FONES VARCHAR(50), OBS VARCHAR(500), "
                              "CONSTRAINT PK_PESSOAS PRIMARY KEY (CLI_ORIGEM, CODIGO)");
    criaTabela(tr, "MARCACAO", "CLI_ORIGEM VARCHAR(7) NOT NULL, ID_MARCACAO INTEGER NOT NULL, CODPESSOA INTEGER, "
                               "CODENTIDADE INTEGER, CODPROFISSIONAL INTEGER, DATALANC DATE, DATAMARC DATE, "
                               "HORAMARC VARCHAR(5), DATAREALIZACAO DATE, DATABLOQUEIO DATE, CODCID VARCHAR(10), "
                               "CHAVEIMPRE VARCHAR(20), OBS VARCHAR(100), "
                               "CONSTRAINT PK_MARCACAO PRIMARY KEY (CLI_ORIGEM, ID_MARCACAO)");
    criaTabela(tr, "MARCACAO_PROCEDS", "CLI_ORIGEM VARCHAR(7) NOT NULL, ID_MARCACAO INTEGER NOT NULL, "
                                       "CODPROCEDIMENTO INTEGER NOT NULL, QUANTIDADE INTEGER, REALIZADO CHAR(1), "
                                       "CONSTRAINT FK_MARCACAOPROCEDS_MARCACAO FOREIGN KEY (CLI_ORIGEM, ID_MARCACAO) "
                                       "REFERENCES MARCACAO (CLI_ORIGEM, ID_MARCACAO)");
    criaTabela(tr, "PESSOASTESTE", "CLI_ORIGEM VARCHAR(7), CODIGO INTEGER, NOME VARCHAR(100), CARTAOSUS VARCHAR(20), "
                                   "DATANASC DATE, FONES VARCHAR(50), SEXO CHAR(1), RACA VARCHAR(2), ETNIA VARCHAR(3), "
                                   "RESPONSAVEL VARCHAR(100), NOMEMAE VARCHAR(100), OBS VARCHAR(500), "
                                   "CODTIPOLOGRAD INTEGER, ENDERECO VARCHAR(100), ENDNUM INTEGER, BAIRRO VARCHAR(40), "
                                   "CEP VARCHAR(8), ID_ARQUIVO VARCHAR(100)");
    criaTabela(tr, "MARCACAOTESTE", "CLI_ORIGEM VARCHAR(7), ID_MARCACAO INTEGER, CODENTIDADE INTEGER, "
                                    "CODPROFISSIONAL INTEGER, CODPESSOA INTEGER, DATALANC DATE, DATAMARC DATE, "
                                    "HORAMARC VARCHAR(5), DATAREALIZACAO DATE, DATA_DIGITACAO TIMESTAMP, "
                                    "DATA_IMPORTACAO TIMESTAMP, CODCID VARCHAR(10), CHAVEIMPRE VARCHAR(20), "
                                    "CARATER INTEGER, OBS VARCHAR(100), DATA_IMP_ADM VARCHAR(15), "
                                    "ID_ARQUIVO VARCHAR(100)");
    tr.commit();
    tr.inicia();
    if (!tr.valor(QStringLiteral("select first 1 1 from tabdiv")).isValid())
        tr.executa(QStringLiteral("insert into tabdiv (versaobanco) values (null)"));
    tr.commit();
}

QString CriaBancoNovo(const QString& arquivo, const Progresso& progresso, bool escritaForcada)
{
    Conexao::criaBanco(arquivo, UsuarioBanco(), SenhaBanco(), escritaForcada);
    Conexao con;
    con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
    Transacao tr(con);
    CriaTabelasIniciais(tr);
    const ResultadoCadeia r = AtualizaEsquema(tr, progresso);
    if (r.estado != ResultadoCadeia::Estado::Ok)
        throw ErroBanco(QStringLiteral("Falha na versão %1: %2").arg(r.passoFalho, r.erro));
    // Key of the procedure lines (older databases may lack it; new ones always have it).
    tr.inicia();
    adicionaConstraint(tr, "MARCACAO_PROCEDS", "PK_MARCACAOPROCEDS",
                       "PRIMARY KEY (CLI_ORIGEM, ID_MARCACAO, CODPROCEDIMENTO, DATA_IMP_ADM)");
    tr.commit();
    return r.versaoFinal;
}

} // namespace vx
