#include "core/schema/Cadeia.h"
#include "core/Banco.h"
#include "core/UVariaveis.h"
#include "core/schema/Catalogo.h"
#include "core/schema/IndicesBusca.h"
#include "exchange/CorrecaoConsultas.h"

#include <vector>

namespace vx {

using namespace catalogo;

namespace {

const char* const kLinha = "Atualizando Banco de Dados - Versão ";

struct Passo {
    const char* versao;
    void (*executa)(Transacao& tr, const Progresso& p);
};

// One committed group: restart the main transaction, run, commit.
template <typename F>
void grupo(Transacao& tr, F&& f)
{
    tr.inicia();
    f();
    tr.commit();
}

void gravaVersao(Transacao& tr, const char* v)
{
    tr.executa(QStringLiteral("update tabdiv set versaobanco='%1'").arg(QLatin1String(v)));
}

void avisa(const Progresso& p, const QString& linha)
{
    if (p)
        p(linha);
}

void viewProfissionais104(Transacao& tr)
{
    tr.executa(QStringLiteral(
        "CREATE OR ALTER VIEW V_PROFISSIONAIS (CODIGO, CODENTIDADE, CODCONCAT, NOME, OCUPACAOENTIDADE, CBO) AS "
        "SELECT P.CODIGO, EP.CODENTIDADE, P.CODIGO || '-' || COALESCE(E.CODIGO, ''), P.NOME, "
        "COALESCE(C.DESCRICAO, '') || ' => ' || COALESCE(E.RAZAOSOCIAL, ''), P.CBO "
        "FROM PROFISSIONAIS P LEFT JOIN CBO C ON P.CBO = C.CODIGO "
        "LEFT JOIN ENTIDADESPROFISS EP ON P.CODIGO = EP.CODPROFISSIONAL "
        "LEFT JOIN ENTIDADES E ON EP.CODENTIDADE = E.CODIGO"));
}

// V_PROFISSIONAIS with DATAEXCLUSAO; `final` takes it from the entity link and keeps active
// professionals only.
void viewProfissionais(Transacao& tr, bool final)
{
    tr.executa(QStringLiteral(
        "CREATE OR ALTER VIEW V_PROFISSIONAIS (CODIGO, CODENTIDADE, CODCONCAT, NOME, OCUPACAOENTIDADE, CBO, "
        "DATAEXCLUSAO) AS "
        "SELECT P.CODIGO, EP.CODENTIDADE, P.CODIGO || '-' || COALESCE(E.CODIGO, ''), P.NOME, "
        "COALESCE(C.DESCRICAO, '') || ' => ' || COALESCE(E.RAZAOSOCIAL, ''), P.CBO, %1 "
        "FROM PROFISSIONAIS P LEFT JOIN CBO C ON P.CBO = C.CODIGO "
        "LEFT JOIN ENTIDADESPROFISS EP ON P.CODIGO = EP.CODPROFISSIONAL "
        "LEFT JOIN ENTIDADES E ON EP.CODENTIDADE = E.CODIGO%2")
                   .arg(final ? QStringLiteral("EP.DATAEXCLUSAO") : QStringLiteral("P.DATAEXCLUSAO"),
                        final ? QStringLiteral(" WHERE P.DATAEXCLUSAO IS NULL") : QString()));
}

void viewEntidades(Transacao& tr, int forma)
{
    // 0: first form; 1: with DATAEXCLUSAO; 2: active entities only.
    if (forma == 0) {
        tr.executa(QStringLiteral(
            "CREATE OR ALTER VIEW V_ENTIDADES (CODIGO, RAZAOSOCIAL, NOMEFANTASIA, CIDADE) AS "
            "SELECT E.CODIGO, E.RAZAOSOCIAL, E.NOMEFANTASIA, I.CIDADE FROM ENTIDADES E "
            "LEFT JOIN IBGEMUNIC I ON E.CODMUN = I.CODIGO"));
        return;
    }
    tr.executa(QStringLiteral(
        "CREATE OR ALTER VIEW V_ENTIDADES (CODIGO, RAZAOSOCIAL, NOMEFANTASIA, CIDADE, DATAEXCLUSAO) AS "
        "SELECT E.CODIGO, E.RAZAOSOCIAL, E.NOMEFANTASIA, I.CIDADE, E.DATAEXCLUSAO FROM ENTIDADES E "
        "LEFT JOIN IBGEMUNIC I ON E.CODMUN = I.CODIGO%1")
                   .arg(forma == 2 ? QStringLiteral(" WHERE E.DATAEXCLUSAO IS NULL") : QString()));
}

const char* const kTriggerDocEmissao =
    "CREATE OR ALTER TRIGGER DOCEMISSAO_BI0 FOR DOCEMISSAO ACTIVE BEFORE INSERT OR UPDATE POSITION 0 AS\n"
    "DECLARE VARIABLE ORIGEM VARCHAR(20);\n"
    "DECLARE VARIABLE HIST VARCHAR(100);\n"
    "DECLARE VARIABLE MES VARCHAR(7);\n"
    "DECLARE VARIABLE NID INTEGER;\n"
    "BEGIN\n"
    "  /* an annulled document leaves its receivable alone */\n"
    "  IF (NEW.DATAEXCLUSAO IS NOT NULL) THEN EXIT;\n"
    "  MES = SUBSTRING(CAST(NEW.DATAEMISSAO AS VARCHAR(10)) FROM 1 FOR 7);\n"
    "  IF (NEW.AVULSOFATURA = 'T') THEN\n"
    "  BEGIN\n"
    "    ORIGEM = 'TAXA' || MES;\n"
    "    HIST = 'Taxa Administrativa' || MES;\n"
    "  END\n"
    "  ELSE\n"
    "  BEGIN\n"
    "    ORIGEM = 'FAT' || MES;\n"
    "    HIST = 'Fatura' || MES;\n"
    "  END\n"
    "  NID = NULL;\n"
    "  SELECT FIRST 1 ID FROM LANRECEBER WHERE CODCLIENTE = NEW.CODCLIENTE AND ORIGEM = :ORIGEM INTO :NID;\n"
    "  IF (NID IS NULL) THEN\n"
    "  BEGIN\n"
    "    SELECT COALESCE(MAX(ID), 0) + 1 FROM LANRECEBER INTO :NID;\n"
    "    INSERT INTO LANRECEBER (ID, CODCLIENTE, ORIGEM, DATADEBITO, DATAVENCIMENTO, VALORDEBITO, DOCDEBITO,\n"
    "                            VALORPGTO, HISTORICO, OBS)\n"
    "    VALUES (:NID, NEW.CODCLIENTE, :ORIGEM, NEW.DATAEMISSAO, NEW.DATAVENCIMENTO, NEW.VALOR,\n"
    "            NEW.TIPODOC || NEW.NUMDOC, 0, :HIST, 'Gerado em' || CURRENT_DATE);\n"
    "  END\n"
    "  ELSE\n"
    "    UPDATE LANRECEBER SET DATADEBITO = NEW.DATAEMISSAO, DATAVENCIMENTO = NEW.DATAVENCIMENTO,\n"
    "           VALORDEBITO = NEW.VALOR, DOCDEBITO = NEW.TIPODOC || NEW.NUMDOC,\n"
    "           OBS = 'Gerado em' || CURRENT_DATE\n"
    "    WHERE ID = :NID;\n"
    "END";

const struct { int codigo; const char* nome; } kTiposLogradouro[] = {
    {1, "ACESSO"},     {8, "AVENIDA"},      {9, "BALNEARIO"},  {12, "BLOCO"},      {13, "BOSQUE"},
    {21, "COLONIA"},   {23, "CAMPO"},       {28, "DISTRITO"},  {31, "ESTRADA"},    {36, "FAVELA"},
    {37, "FAZENDA"},   {46, "GRANJA"},      {56, "LOTEAMENTO"}, {65, "PRACA"},     {81, "RUA"},
    {87, "RECANTO"},   {88, "RETIRO"},      {90, "RODOVIA"},   {100, "TRAVESSA"},  {101, "VIA"},
    {104, "VILA"},     {485, "CONDOMINIO"}, {486, "HABITACIONAL"}, {487, "RESIDENCIAL"},
    {500, "NUCLEO"},   {650, "ESTRADA MUNICIPAL"}, {653, "RUA DE LIGACAO"}};

// ------------------------------------------------------------------ steps

void p101(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        tr.executa(QStringLiteral(
            "CREATE OR ALTER VIEW V_PROFISSIONAIS (CODIGO, NOME, OCUPACAO, CBO) AS "
            "SELECT P.CODIGO, P.NOME, C.DESCRICAO, P.CBO FROM PROFISSIONAIS P LEFT JOIN CBO C ON P.CBO = C.CODIGO"));
        viewEntidades(tr, 0);
        gravaVersao(tr, "1.01");
    });
}

void p102(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        adicionaColuna(tr, "MARCACAO", "CARATER", "INTEGER");
        gravaVersao(tr, "1.02");
    });
}

void p103(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        tr.executa(QStringLiteral("ALTER TABLE PESSOAS ALTER CARTAOSUS TYPE VARCHAR(20) CHARACTER SET NONE"));
        adicionaColuna(tr, "TABDIV", "DATAULTRECEPCAO", "DATE");
        adicionaColuna(tr, "TABDIV", "DATAULTRETRANSMISSAO", "DATE");
        gravaVersao(tr, "1.03");
    });
}

void p104(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        // The view changes its columns: drop it first.
        if (existeTabela(tr, "V_PROFISSIONAIS"))
            tr.executa(QStringLiteral("DROP VIEW V_PROFISSIONAIS"));
        viewProfissionais104(tr);
        gravaVersao(tr, "1.04");
    });
}

void p105(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        adicionaColuna(tr, "MARCACAO", "IDADE", "INTEGER");
        criaTabela(tr, "S_PA",
                   "PA_ID CHAR(9), PA_DV CHAR(1), PA_TOTAL DOUBLE PRECISION, PA_DC VARCHAR(60), PA_RUB VARCHAR(4), "
                   "PA_TPCC CHAR(1), PA_AUX VARCHAR(20), PA_SP DOUBLE PRECISION, PA_SA DOUBLE PRECISION, "
                   "PA_CPX VARCHAR(4), PA_CTF VARCHAR(4), PA_DOC CHAR(1), PA_IDADEMX SMALLINT, PA_IDADEMN SMALLINT, "
                   "PA_SEXO CHAR(1), PA_QTDMAX DOUBLE PRECISION, PA_IDEBPA CHAR(1), PA_CNSPCN CHAR(1), "
                   "PA_CNRAC CHAR(1), PA_EXIGCBO CHAR(1)");
        gravaVersao(tr, "1.05");
    });
}

void p106(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        adicionaColuna(tr, "MARCACAO", "DATA_IMP_ADM", "VARCHAR(15)");
        adicionaColuna(tr, "MARCACAO", "DATA_DIGITACAO", "TIMESTAMP");
        adicionaColuna(tr, "MARCACAO_PROCEDS", "DATA_IMP_ADM", "VARCHAR(15)");
    });
    // The fills run before the version is recorded, so a failed fill is retried.
    grupo(tr, [&] {
        tr.executa(QStringLiteral("UPDATE MARCACAO SET DATA_IMP_ADM='000000000000000' WHERE DATA_IMP_ADM IS NULL"));
        tr.executa(QStringLiteral("UPDATE MARCACAO SET DATA_DIGITACAO=DATAREALIZACAO || ' 00:01:01' "
                                  "WHERE DATA_DIGITACAO IS NULL"));
        tr.executa(QStringLiteral("UPDATE MARCACAO_PROCEDS SET DATA_IMP_ADM='000000000000000' "
                                  "WHERE DATA_IMP_ADM IS NULL"));
        gravaVersao(tr, "1.06");
    });
}

void p107(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        tr.executa(QStringLiteral("UPDATE MARCACAO SET DATA_IMP_ADM='107000000000000' WHERE DATA_IMP_ADM IS NULL"));
        tr.executa(QStringLiteral("UPDATE MARCACAO_PROCEDS SET DATA_IMP_ADM='107000000000000' "
                                  "WHERE DATA_IMP_ADM IS NULL"));
    });
    grupo(tr, [&] {
        removeConstraint(tr, "MARCACAO_PROCEDS", "FK_MARCACAOPROCEDS_MARCACAO");
        tornaObrigatoria(tr, "MARCACAO", "DATA_IMP_ADM");
        tornaObrigatoria(tr, "MARCACAO_PROCEDS", "DATA_IMP_ADM");
    });
    grupo(tr, [&] {
        const QVariant chave = tr.valor(QStringLiteral(
            "select count(*) from rdb$index_segments s join rdb$relation_constraints c "
            "on c.rdb$index_name = s.rdb$index_name where c.rdb$constraint_name = 'PK_MARCACAO'"));
        if (chave.toInt() != 3) {
            removeConstraint(tr, "MARCACAO", "PK_MARCACAO");
            tr.executa(QStringLiteral("alter table MARCACAO add constraint PK_MARCACAO primary key "
                                      "(CLI_ORIGEM,ID_MARCACAO,DATA_IMP_ADM)"));
        }
    });
    try {
        grupo(tr, [&] {
            adicionaConstraint(tr, "MARCACAO_PROCEDS", "FK_MARCACAO_PROCEDS_MARCACA",
                               "FOREIGN KEY (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM) REFERENCES MARCACAO "
                               "(CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM)");
        });
    } catch (const ErroBanco&) {
        tr.rollback(); // tolerated: orphan lines keep the key from being created
    }
    grupo(tr, [&] { gravaVersao(tr, "1.07"); });
}

void p109(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        criaTabela(tr, "UNIDADES", "CODIGO INTEGER NOT NULL, NOME VARCHAR(100), "
                                   "CONSTRAINT PK_UNIDADES PRIMARY KEY (CODIGO)");
        criaTabela(tr, "LIMITESUNIDADES", "CODUNIDADE INTEGER NOT NULL, DATAINICIAL DATE, DATAFINAL DATE, "
                                          "VALOR NUMERIC(10,2), OBS VARCHAR(100)");
        adicionaColuna(tr, "MARCACAO", "CODUNIDADE", "INTEGER");
        adicionaColuna(tr, "MARCACAO", "USUARIO", "VARCHAR(15)");
        adicionaColuna(tr, "USUARIOS", "CODUNIDADE", "INTEGER");
    });
    grupo(tr, [&] {
        adicionaConstraint(tr, "MARCACAO", "FK_MARCACAO_UNIDADE",
                           "FOREIGN KEY (CODUNIDADE) REFERENCES UNIDADES (CODIGO) ON DELETE NO ACTION ON UPDATE CASCADE");
        gravaVersao(tr, "1.09");
    });
}

void p200(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        criaTabela(tr, "TIPOSLOGRADOURO", "CODIGO INTEGER NOT NULL, NOME VARCHAR(40), "
                                          "CONSTRAINT PK_TIPOSLOGRADOURO PRIMARY KEY (CODIGO)");
        criaTabela(tr, "S_CEP", "CO_CEP VARCHAR(8) NOT NULL, CO_MUNICIPIO VARCHAR(6), "
                                "CONSTRAINT S_CEP01 PRIMARY KEY (CO_CEP)");
        adicionaColuna(tr, "PESSOAS", "ENDNUM", "INTEGER");
        adicionaColuna(tr, "PESSOAS", "CODTIPOLOGRAD", "INTEGER");
        adicionaColuna(tr, "PESSOAS", "CEP", "VARCHAR(8)");
        adicionaColuna(tr, "PESSOAS", "BAIRRO", "VARCHAR(40)");
        adicionaColuna(tr, "MARCACAO_PROCEDS", "VALORTOTAL", "NUMERIC(10,2)");
    });
    grupo(tr, [&] {
        adicionaConstraint(tr, "PESSOAS", "FK_PESSOAS_TIPOLOGRAD",
                           "FOREIGN KEY (CODTIPOLOGRAD) REFERENCES TIPOSLOGRADOURO (CODIGO) "
                           "ON DELETE SET NULL ON UPDATE CASCADE");
    });
    grupo(tr, [&] {
        tr.executa(QStringLiteral("UPDATE PESSOAS SET ENDNUM=0 WHERE ENDNUM IS NULL"));
        tr.executa(QStringLiteral(
            "UPDATE MARCACAO_PROCEDS MP SET MP.VALORTOTAL=(MP.QUANTIDADE*(SELECT COALESCE(P.VALOR,0) "
            "FROM PROCEDIMENTOS P WHERE MP.CODPROCEDIMENTO=P.CODIGO)) WHERE MP.VALORTOTAL IS NULL"));
        for (const auto& t : kTiposLogradouro)
            tr.executa(QStringLiteral("UPDATE OR INSERT INTO TIPOSLOGRADOURO (CODIGO, NOME) VALUES (%1, '%2') "
                                      "MATCHING (CODIGO)").arg(t.codigo).arg(QLatin1String(t.nome)));
        gravaVersao(tr, "2.00");
    });
}

void p210(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        for (const char* t : {"ENTIDADES", "ENTIDADESPROFISS", "PROCEDIMENTOS", "PROFISSIONAIS", "PROFISSPROCED"})
            adicionaColuna(tr, t, "DATAEXCLUSAO", "DATE");
        criaTabela(tr, "MOTIVOBLOQUEIOS", "CODIGO INTEGER NOT NULL, DESCRICAO VARCHAR(50), "
                                          "CONSTRAINT PK_MOTIVOBLOQUEIOS PRIMARY KEY (CODIGO)");
        adicionaColuna(tr, "MARCACAO", "CODMOTIVOBLOQUEIO", "INTEGER");
        criaTabela(tr, "PROFISSMUNICIPIO", "CODIGO INTEGER NOT NULL, NOME VARCHAR(50), "
                                           "CONSTRAINT PK_PROFISSMUNICIPIO PRIMARY KEY (CODIGO)");
        adicionaColuna(tr, "MARCACAO", "CODPROFSOLICITANTE", "INTEGER");
    });
    grupo(tr, [&] {
        viewProfissionais(tr, false);
        viewEntidades(tr, 1);
        gravaVersao(tr, "2.10");
    });
}

void p214(Transacao& tr, const Progresso& p)
{
    avisa(p, QString::fromUtf8(kLinha) + QStringLiteral("2.14 (Etapa 1/3)..."));
    grupo(tr, [&] {
        adicionaColuna(tr, "MARCACAO", "DATA_IMPORTACAO", "TIMESTAMP");
        tr.executa(QStringLiteral("ALTER TABLE MOTIVOBLOQUEIOS ALTER DESCRICAO TYPE VARCHAR(100)"));
        adicionaColuna(tr, "MARCACAO_PROCEDS", "VALORTOTALSUS", "NUMERIC(10,2)");
        adicionaColuna(tr, "ENTIDADES", "BANCO", "VARCHAR(10)");
        adicionaColuna(tr, "ENTIDADES", "INFOBANC", "VARCHAR(30)");
        adicionaColuna(tr, "CLIENTES", "APAC", "CHAR(1)");
        adicionaColuna(tr, "CLIENTES", "BOLETO", "VARCHAR(500)");
        adicionaColuna(tr, "CLIENTES", "ENDERECO", "VARCHAR(50)");
        adicionaColuna(tr, "CLIENTES", "ENDNUM", "VARCHAR(10)");
        adicionaColuna(tr, "CLIENTES", "BAIRRO", "VARCHAR(50)");
        criaTabela(tr, "FAT_ENTIDADE",
                   "DATAINI DATE NOT NULL, DATAFIM DATE NOT NULL, CODENTIDADE INTEGER NOT NULL, "
                   "VALORBRUTO NUMERIC(10,2), IRRF NUMERIC(10,2), ACRESCDESC NUMERIC(10,2), DOCNF VARCHAR(10), "
                   "OBS VARCHAR(300), DATAPROCESSAMENTO TIMESTAMP, "
                   "CONSTRAINT PK_FAT_ENTIDADE PRIMARY KEY (DATAINI, DATAFIM, CODENTIDADE)");
        criaTabela(tr, "FAT_MUNICIPIO",
                   "DATAINI DATE NOT NULL, DATAFIM DATE NOT NULL, CODCLIENTE VARCHAR(7) NOT NULL, "
                   "VALORBRUTO NUMERIC(10,2), DESCSUS NUMERIC(10,2), DESCPPC NUMERIC(10,2), DESCCUNE NUMERIC(10,2), "
                   "ACRESCDESC NUMERIC(10,2), OBS VARCHAR(300), DATAPROCESSAMENTO TIMESTAMP, "
                   "CONSTRAINT PK_FAT_MUNICIPIO PRIMARY KEY (DATAINI, DATAFIM, CODCLIENTE)");
        criaTabela(tr, "DOCEMISSAO",
                   "TIPODOC CHAR(1) NOT NULL, NUMDOC INTEGER NOT NULL, AVULSOFATURA CHAR(1), CODCLIENTE VARCHAR(7), "
                   "DATAEMISSAO DATE, DATAVENCIMENTO DATE, VALOR NUMERIC(10,2), DESCRICAO VARCHAR(500), "
                   "CONSTRAINT PK_DOCEMISSAO PRIMARY KEY (TIPODOC, NUMDOC)");
    });
    grupo(tr, [&] {
        adicionaConstraint(tr, "FAT_ENTIDADE", "FK_FAT_ENTIDADE_ENTIDADE",
                           "FOREIGN KEY (CODENTIDADE) REFERENCES ENTIDADES (CODIGO) ON DELETE SET NULL ON UPDATE CASCADE");
        adicionaConstraint(tr, "FAT_MUNICIPIO", "FK_FAT_MUNICIPIO_CLIENTE",
                           "FOREIGN KEY (CODCLIENTE) REFERENCES CLIENTES (CODIGO) ON DELETE SET NULL ON UPDATE CASCADE");
    });
    // The fills come before the version, so a failed fill is retried.
    grupo(tr, [&] {
        avisa(p, QString::fromUtf8(kLinha) + QStringLiteral("2.14 (Etapa 2/3)..."));
        tr.executa(QStringLiteral("UPDATE MARCACAO SET DATA_IMPORTACAO=DATA_DIGITACAO WHERE DATA_IMPORTACAO IS NULL"));
        avisa(p, QString::fromUtf8(kLinha) + QStringLiteral("2.14 (Etapa 3/3)..."));
        tr.executa(QStringLiteral(
            "UPDATE MARCACAO_PROCEDS MP SET MP.VALORTOTALSUS=(MP.QUANTIDADE*(SELECT COALESCE(P.VALORSUS,0) "
            "FROM PROCEDIMENTOS P WHERE MP.CODPROCEDIMENTO=P.CODIGO)) WHERE MP.VALORTOTALSUS IS NULL"));
        gravaVersao(tr, "2.14");
    });
}

void p215(Transacao& tr, const Progresso& p)
{
    avisa(p, QString::fromUtf8(kLinha) + QStringLiteral("2.15..."));
    grupo(tr, [&] {
        viewProfissionais(tr, true);
        viewEntidades(tr, 2);
        gravaVersao(tr, "2.15");
    });
}

void p216(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        adicionaColuna(tr, "DOCEMISSAO", "DATAEXCLUSAO", "DATE");
        adicionaColuna(tr, "CLIENTES", "APELIDO", "VARCHAR(20)");
        adicionaColuna(tr, "CLIENTES", "COBRTAXA", "CHAR(1)");
        adicionaColuna(tr, "CLIENTES", "VALORTAXA", "NUMERIC(10,2)");
        adicionaColuna(tr, "FAT_MUNICIPIO", "TIPO", "VARCHAR(10)");
        criaTabela(tr, "LANCLIMITES", "CODCLIENTE VARCHAR(7) NOT NULL, PERIODO VARCHAR(7) NOT NULL, DATALANC DATE, "
                                      "VALOR NUMERIC(10,2), OBS VARCHAR(100)");
        gravaVersao(tr, "2.16");
    });
}

void p217(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        adicionaColuna(tr, "GRUPOSPROCED", "GRUPOCOBR", "VARCHAR(30)");
        adicionaColuna(tr, "TABDIV", "DATABACKUP", "DATE");
        adicionaColuna(tr, "CLIENTES", "LEIAUTORIZATIVA", "VARCHAR(20)");
        criaTabela(tr, "RATEIOSUS", "IDRATEIO INTEGER NOT NULL, DESCRICAO VARCHAR(50), VALORTOTAL NUMERIC(10,2), "
                                    "DATABASEINI DATE, DATABASEFIM DATE, OBS VARCHAR(100), "
                                    "CONSTRAINT PK_RATEIOSUS PRIMARY KEY (IDRATEIO)");
        criaTabela(tr, "RATEIOSUSDET", "IDRATEIO INTEGER NOT NULL, CODCLIENTE VARCHAR(7) NOT NULL, DATAINI DATE NOT NULL, "
                                       "DATAFIM DATE NOT NULL, INDFIXO NUMERIC(10,5), INDVAR NUMERIC(10,5), "
                                       "VALORFIXO NUMERIC(10,2), VALORVAR NUMERIC(10,2), OBS VARCHAR(100), "
                                       "CONSTRAINT PK_RATEIOSUSDET PRIMARY KEY (IDRATEIO, CODCLIENTE, DATAINI, DATAFIM)");
        adicionaColuna(tr, "FAT_MUNICIPIO", "IDRATEIOSUS", "INTEGER");
    });
    grupo(tr, [&] {
        adicionaConstraint(tr, "RATEIOSUSDET", "FK_RATEIOSUSDET_RATEIO",
                           "FOREIGN KEY (IDRATEIO) REFERENCES RATEIOSUS (IDRATEIO) ON DELETE CASCADE ON UPDATE CASCADE");
        adicionaConstraint(tr, "RATEIOSUSDET", "FK_RATEIOSUSDET_CLIENTE",
                           "FOREIGN KEY (CODCLIENTE) REFERENCES CLIENTES (CODIGO) ON DELETE CASCADE ON UPDATE CASCADE");
        adicionaConstraint(tr, "FAT_MUNICIPIO", "FK_FATMUN_RATEIOSUS",
                           "FOREIGN KEY (IDRATEIOSUS, CODCLIENTE, DATAINI, DATAFIM) REFERENCES RATEIOSUSDET "
                           "(IDRATEIO, CODCLIENTE, DATAINI, DATAFIM) ON DELETE NO ACTION ON UPDATE CASCADE");
        gravaVersao(tr, "2.17");
    });
}

void p218(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        adicionaColuna(tr, "MARCACAO", "CONFERIUFTP", "CHAR(1)");
        gravaVersao(tr, "2.18");
    });
}

void p219(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        adicionaColuna(tr, "CLIENTES", "COBRPRODUCAO", "CHAR(1)");
        adicionaColuna(tr, "ENTIDADES", "OCULTARMUNIC", "CHAR(1)");
        criaTabela(tr, "CALENDARIOS", "DATAINICIAL DATE NOT NULL, DATAFINAL DATE NOT NULL, DESCRICAO VARCHAR(50), "
                                      "SELECAO CHAR(1), CONSTRAINT PK_CALENDARIOS PRIMARY KEY (DATAINICIAL, DATAFINAL)");
        criaTabela(tr, "CONTASBOLETOS",
                   "ID_CONTA INTEGER NOT NULL, TITULO VARCHAR(30), BANCO VARCHAR(20), AGENCIA VARCHAR(10), "
                   "AGENCIADIGITO VARCHAR(10), BAIRRO VARCHAR(40), CEP VARCHAR(8), CIDADE VARCHAR(40), "
                   "CNPJCPF VARCHAR(14), CODIGOCEDENTE VARCHAR(15), CODIGOTRANS VARCHAR(10), COMPLEMENTO VARCHAR(10), "
                   "CONTA VARCHAR(10), CONTADIGITO VARCHAR(10), CONVENIO VARCHAR(10), LOGRADOURO VARCHAR(40), "
                   "NUMERORES VARCHAR(10), MODALIDADE VARCHAR(10), NOME VARCHAR(40), UF VARCHAR(2), PRODUCAO CHAR(1), "
                   "TAXA CHAR(1), CONSTRAINT PK_CONTASBOLETOS PRIMARY KEY (ID_CONTA)");
    });
    grupo(tr, [&] {
        tr.executa(QStringLiteral("UPDATE ENTIDADES SET OCULTARMUNIC='N'"));
        gravaVersao(tr, "2.19");
    });
}

void p220(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        adicionaColuna(tr, "PROFISSIONAIS", "CNSBPA", "VARCHAR(20)");
        adicionaColuna(tr, "PESSOAS", "ETNIA", "VARCHAR(3)");
        adicionaColuna(tr, "ENTIDADES", "AGENCIA", "VARCHAR(10)");
        adicionaColuna(tr, "ENTIDADES", "CONTA", "VARCHAR(20)");
        gravaVersao(tr, "2.20");
    });
}

void p221(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] { gravaVersao(tr, "2.21"); });
}

void p222(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        adicionaColuna(tr, "CLIENTES", "CODCONTTAXA", "VARCHAR(10)");
        adicionaColuna(tr, "CLIENTES", "CODCONTPROD", "VARCHAR(10)");
        gravaVersao(tr, "2.22");
    });
}

void p223(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] { adicionaColuna(tr, "FAT_ENTIDADE", "TARIFA", "NUMERIC(10,2)"); });
    grupo(tr, [&] {
        tr.executa(QStringLiteral("UPDATE FAT_ENTIDADE SET TARIFA=0 WHERE TARIFA IS NULL"));
        gravaVersao(tr, "2.23");
    });
}

void p224(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        adicionaColuna(tr, "ENTIDADES", "ISSQN", "NUMERIC(10,2)");
        adicionaColuna(tr, "PROCEDIMENTOS", "VALORPOPULAR", "NUMERIC(10,2)");
        for (const char* c : {"VALORSUS1", "VALORSUS2", "VALORPOPULAR", "VALIRRF", "VALISSQN"})
            adicionaColuna(tr, "MARCACAO_PROCEDS", c, "NUMERIC(10,2)");
        criaTabela(tr, "CREDITOS", "CLI_ORIGEM VARCHAR(7) NOT NULL, TIPO VARCHAR(10) NOT NULL, DATA DATE NOT NULL, "
                                   "VALOR NUMERIC(10,2), VALIDADE DATE, OBS VARCHAR(100), "
                                   "CONSTRAINT PK_CREDITOS PRIMARY KEY (CLI_ORIGEM, TIPO, DATA)");
        adicionaColuna(tr, "GRUPOSPROCED", "SOMATEMP", "NUMERIC(10,2)");
        adicionaColuna(tr, "FAT_ENTIDADE", "ISSQN", "NUMERIC(10,2)");
        tr.executa(QStringLiteral("ALTER TABLE PROCEDIMENTOS ALTER REGISTRO TYPE VARCHAR(2) CHARACTER SET NONE"));
        adicionaColuna(tr, "CLIENTES", "MOSTRARVALOR", "CHAR(1)");
        for (const char* c : {"DATAINICONTRATO", "DATARENOVCONTRATO", "DATAVENCCONTRATO"})
            adicionaColuna(tr, "ENTIDADES", c, "DATE");
        criaTabela(tr, "MENUS", "USUARIO VARCHAR(15) NOT NULL, MENU VARCHAR(80) NOT NULL, "
                                "PAI VARCHAR(50) DEFAULT '' NOT NULL, PERMISSAO VARCHAR(5), "
                                "CONSTRAINT PK_MENUS PRIMARY KEY (USUARIO, MENU, PAI)");
    });
    grupo(tr, [&] {
        adicionaConstraint(tr, "MENUS", "FK_MENUS_USUARIO",
                           "FOREIGN KEY (USUARIO) REFERENCES USUARIOS (USUARIO) ON DELETE CASCADE ON UPDATE CASCADE");
    });
    grupo(tr, [&] {
        tr.executa(QStringLiteral("UPDATE ENTIDADES SET ISSQN=0 WHERE ISSQN IS NULL"));
        for (const char* c : {"VALORSUS1", "VALORSUS2", "VALORPOPULAR"})
            tr.executa(QStringLiteral("UPDATE MARCACAO_PROCEDS SET %1=0 WHERE %1 IS NULL").arg(QLatin1String(c)));
        tr.executa(QStringLiteral("UPDATE CLIENTES SET MOSTRARVALOR='%1'")
                       .arg(TemPerfilLiteral(QStringLiteral("CEVRANDOSA")) ? QLatin1Char('N') : QLatin1Char('S')));
        gravaVersao(tr, "2.24");
    });
}

void p225(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        criaTabela(tr, "AG_DISPO", "CODPROFISSIONAL INTEGER NOT NULL, DATA DATE NOT NULL, QUANTDISPO INTEGER, "
                                   "HORAINICIO VARCHAR(5), OBS VARCHAR(100), "
                                   "CONSTRAINT PK_AGDISPO PRIMARY KEY (CODPROFISSIONAL, DATA)");
        criaTabela(tr, "AGENDA", "ID_AGENDA INTEGER NOT NULL, CODPROFISSIONAL INTEGER NOT NULL, DATA DATE NOT NULL, "
                                 "CLI_ORIGEM VARCHAR(7) NOT NULL, CODPESSOA INTEGER NOT NULL, QUEMLIGOU VARCHAR(50), "
                                 "HORA VARCHAR(5), ORDEMCHEGADA INTEGER, DATALANC DATE, OBS VARCHAR(100), "
                                 "CONSTRAINT PK_AGENDA PRIMARY KEY (ID_AGENDA)");
        for (const char* c : {"PIS", "COFINS", "CSLL"})
            adicionaColuna(tr, "ENTIDADES", c, "NUMERIC(10,2)");
        adicionaColuna(tr, "FAT_ENTIDADE", "PIS", "NUMERIC(10,2)");
        adicionaColuna(tr, "FAT_ENTIDADE", "CSLL", "NUMERIC(10,2)");
        adicionaColuna(tr, "USUARIOS", "PODEFATURAR", "CHAR(1)");
        const bool temCofins = tr.valor(QStringLiteral(
            "SELECT * FROM RDB$RELATION_FIELDS where (RDB$FIELD_NAME = 'COFINS') and "
            "(RDB$RELATION_NAME = 'FAT_ENTIDADE')")).isValid();
        if (!temCofins)
            tr.executa(QStringLiteral("ALTER TABLE FAT_ENTIDADE ADD COFINS NUMERIC(10,2)"));
    });
    grupo(tr, [&] {
        adicionaConstraint(tr, "AG_DISPO", "FK_AGDISPO_PROF",
                           "FOREIGN KEY (CODPROFISSIONAL) REFERENCES PROFISSIONAIS (CODIGO) "
                           "ON DELETE CASCADE ON UPDATE CASCADE");
        adicionaConstraint(tr, "AGENDA", "FK_AGENDA_PROF",
                           "FOREIGN KEY (CODPROFISSIONAL) REFERENCES PROFISSIONAIS (CODIGO) "
                           "ON DELETE CASCADE ON UPDATE CASCADE");
        adicionaConstraint(tr, "AGENDA", "FK_AGENDA_CLI",
                           "FOREIGN KEY (CLI_ORIGEM) REFERENCES CLIENTES (CODIGO) ON DELETE CASCADE ON UPDATE CASCADE");
        adicionaConstraint(tr, "AGENDA", "FK_AGENDA_PESSOA",
                           "FOREIGN KEY (CLI_ORIGEM, CODPESSOA) REFERENCES PESSOAS (CLI_ORIGEM, CODIGO) "
                           "ON DELETE NO ACTION ON UPDATE CASCADE");
    });
    grupo(tr, [&] {
        for (const char* t : {"ENTIDADES", "FAT_ENTIDADE"})
            for (const char* c : {"PIS", "COFINS", "CSLL"})
                tr.executa(QStringLiteral("UPDATE %1 SET %2=0 WHERE %2 IS NULL").arg(QLatin1String(t), QLatin1String(c)));
        gravaVersao(tr, "2.25");
    });
}

void p226(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        const QString colunas = QStringLiteral(
            "ID INTEGER NOT NULL, %1, ORIGEM VARCHAR(20), DATADEBITO DATE, DATAVENCIMENTO DATE, "
            "DOCDEBITO VARCHAR(10), VALORDEBITO NUMERIC(10,2), HISTORICO VARCHAR(100), DATAPGTO DATE, "
            "DOCPGTO VARCHAR(10), VALORPGTO NUMERIC(10,2), OBS VARCHAR(100), CONSTRAINT %2 PRIMARY KEY (ID)");
        criaTabela(tr, "LANRECEBER", colunas.arg(QStringLiteral("CODCLIENTE VARCHAR(7) NOT NULL"),
                                                 QStringLiteral("PK_LANRECEBER")));
        criaTabela(tr, "LANPAGAR", colunas.arg(QStringLiteral("CODENTIDADE INTEGER NOT NULL"),
                                               QStringLiteral("PK_LANPAGAR")));
    });
    grupo(tr, [&] {
        adicionaConstraint(tr, "LANRECEBER", "FK_LANRECEBER_CLIENTE",
                           "FOREIGN KEY (CODCLIENTE) REFERENCES CLIENTES (CODIGO) ON DELETE NO ACTION ON UPDATE CASCADE");
        adicionaConstraint(tr, "LANPAGAR", "FK_LANPAGAR_ENTIDADE",
                           "FOREIGN KEY (CODENTIDADE) REFERENCES ENTIDADES (CODIGO) ON DELETE NO ACTION ON UPDATE CASCADE");
        // Billing rows older than the TIPO column are production billing.
        tr.executa(QStringLiteral("update FAT_MUNICIPIO set TIPO='FAT' where TIPO is null"));
    });
    grupo(tr, [&] {
        const QVariant chave = tr.valor(QStringLiteral(
            "select count(*) from rdb$index_segments s join rdb$relation_constraints c "
            "on c.rdb$index_name = s.rdb$index_name where c.rdb$constraint_name = 'PK_FAT_MUNICIPIO' "
            "and s.rdb$field_name = 'TIPO'"));
        if (chave.toInt() == 0)
            removeConstraint(tr, "FAT_MUNICIPIO", "PK_FAT_MUNICIPIO");
        tornaObrigatoria(tr, "FAT_MUNICIPIO", "TIPO");
    });
    grupo(tr, [&] {
        adicionaConstraint(tr, "FAT_MUNICIPIO", "PK_FAT_MUNICIPIO", "primary key (TIPO,CODCLIENTE,DATAINI,DATAFIM)");
        tr.executa(QString::fromLatin1(kTriggerDocEmissao));
        gravaVersao(tr, "2.26");
    });
}

void p227(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        if (TemPerfil(QStringLiteral("CORVANE"))) {
            const bool tem = tr.valor(QStringLiteral(
                "select r.RDB$INDEX_NAME from  RDB$INDICES r where r.RDB$INDEX_NAME like '%PK_MARCACAO%' "
                "and r.RDB$INDEX_NAME like '%PROCEDS%'")).isValid();
            if (!tem)
                tr.executa(QStringLiteral(
                    "alter table MARCACAO_PROCEDS add constraint PK_MARCACAOPROCEDS primary key "
                    "(CLI_ORIGEM,ID_MARCACAO,CODPROCEDIMENTO,DATA_IMP_ADM) using index PK_MARCACAOPROCEDS"));
        }
        gravaVersao(tr, "2.27");
    });
}

// Register of the exchange files this installation imported (never exchanged): a file's rows and
// its register row commit together, and the server is told afterwards. The finalization mark of
// an authorization: 'N' while its screen builds it, 'S' once finalized; null for rows written
// before the mark existed (taken as finalized).
void p228(Transacao& tr, const Progresso&)
{
    grupo(tr, [&] {
        criaTabela(tr, "ARQUIVOS_IMPORTADOS",
                   QStringLiteral("PASTA VARCHAR(200) NOT NULL, NOME VARCHAR(200) NOT NULL, SHA256 CHAR(64) NOT NULL, "
                                  "TAMANHO BIGINT NOT NULL, DATAHORA TIMESTAMP NOT NULL, MARCA VARCHAR(10), "
                                  "CONSTRAINT PK_ARQUIVOS_IMPORTADOS PRIMARY KEY (PASTA, NOME, SHA256)"));
        adicionaColuna(tr, "MARCACAO", "FINALIZADA", QStringLiteral("CHAR(1)"));
        gravaVersao(tr, "2.28");
    });
}

const std::vector<Passo>& passos()
{
    static const std::vector<Passo> p = {
        {"1.01", p101}, {"1.02", p102}, {"1.03", p103}, {"1.04", p104}, {"1.05", p105}, {"1.06", p106},
        {"1.07", p107}, {"1.09", p109}, {"2.00", p200}, {"2.10", p210}, {"2.14", p214}, {"2.15", p215},
        {"2.16", p216}, {"2.17", p217}, {"2.18", p218}, {"2.19", p219}, {"2.20", p220}, {"2.21", p221},
        {"2.22", p222}, {"2.23", p223}, {"2.24", p224}, {"2.25", p225}, {"2.26", p226}, {"2.27", p227}, {"2.28", p228}};
    return p;
}

// Before-insert rules that assign the next code when an insert leaves it null.
void criaRegraCodigo(Transacao& tr, const QString& tabela, const QString& trigger, const QString& selecao)
{
    if (!existeTabela(tr, tabela) || existeTrigger(tr, trigger) || temTriggerAntesInsercao(tr, tabela))
        return;
    tr.executa(QStringLiteral("CREATE TRIGGER %1 FOR %2 ACTIVE BEFORE INSERT POSITION 0 AS\n"
                              "BEGIN\n"
                              "  IF (NEW.CODIGO IS NULL) THEN\n"
                              "    NEW.CODIGO = COALESCE((%3), 0) + 1;\n"
                              "END").arg(trigger, tabela, selecao));
}

// Keys and trigger recorded with the last versions, created again when a database lacks them
// (an interrupted commit, a dropped object).
void garanteObjetosVersao(Transacao& tr, bool bancoNovo)
{
    if (existeTabela(tr, "FAT_MUNICIPIO") && !temChavePrimaria(tr, "FAT_MUNICIPIO") &&
        colunaObrigatoria(tr, "FAT_MUNICIPIO", "TIPO"))
        adicionaConstraint(tr, "FAT_MUNICIPIO", "PK_FAT_MUNICIPIO", "primary key (TIPO,CODCLIENTE,DATAINI,DATAFIM)");
    if (existeTabela(tr, "LANRECEBER") && existeColuna(tr, "DOCEMISSAO", "DATAEXCLUSAO") &&
        !existeTrigger(tr, "DOCEMISSAO_BI0"))
        tr.executa(QString::fromLatin1(kTriggerDocEmissao));
    // The key of the procedure lines belongs to CORVANE databases and to every new one; older
    // databases of other profiles may hold lines that it would refuse.
    if ((bancoNovo || TemPerfil(QStringLiteral("CORVANE"))) &&
        colunaObrigatoria(tr, "MARCACAO_PROCEDS", "DATA_IMP_ADM") && !temChavePrimaria(tr, "MARCACAO_PROCEDS"))
        tr.executa(QStringLiteral("alter table MARCACAO_PROCEDS add constraint PK_MARCACAOPROCEDS primary key "
                                  "(CLI_ORIGEM,ID_MARCACAO,CODPROCEDIMENTO,DATA_IMP_ADM)"));
}

// A failed step: its work rolled back, the error and the version the database stays at.
void registraFalha(ResultadoCadeia& r, Transacao& tr, const QString& passo, const ErroBanco& e)
{
    try {
        tr.rollback();
    } catch (...) {
    }
    r.estado = ResultadoCadeia::Estado::Falhou;
    r.erro = e.texto();
    r.passoFalho = passo;
    try {
        tr.inicia();
        r.versaoFinal = LeVersaoBanco(tr);
    } catch (...) {
    }
}

} // namespace

const QStringList& VersoesCadeia()
{
    static const QStringList v = [] {
        QStringList l;
        for (const Passo& p : passos())
            l << QLatin1String(p.versao);
        return l;
    }();
    return v;
}

QString VersaoEsquemaAtual()
{
    return VersoesCadeia().last();
}

QString MensagemVersaoMaior(const QString& versaoBanco)
{
    return QStringLiteral("Versão do Banco de Dados (") + versaoBanco + QStringLiteral(") MAIOR QUE a Versão do Executável (") +
           QLatin1String(VersaoPrograma) + QStringLiteral(")") + QLatin1Char('\n') +
           QStringLiteral("Entre em contato com o suporte técnico para corrijir esta situação!");
}

QString LeVersaoBanco(Transacao& tr)
{
    const QVariant v = tr.valor(QStringLiteral("select first 1 versaobanco from tabdiv"));
    const QString s = v.isValid() ? v.toString().trimmed() : QString();
    return s.isEmpty() ? QStringLiteral("0.00") : s;
}

void ComplementaEsquema(Transacao& tr, bool bancoNovo, const Progresso& progresso)
{
    grupo(tr, [&] { garanteObjetosVersao(tr, bancoNovo); });
    grupo(tr, [&] {
        criaRegraCodigo(tr, "PESSOAS", "PESSOAS_BI_CODIGO",
                        "SELECT FIRST 1 P.CODIGO FROM PESSOAS P WHERE P.CLI_ORIGEM = NEW.CLI_ORIGEM "
                        "ORDER BY P.CLI_ORIGEM DESC, P.CODIGO DESC");
        criaRegraCodigo(tr, "PROCEDIMENTOS", "PROCEDIMENTOS_BI_CODIGO", "SELECT MAX(CODIGO) FROM PROCEDIMENTOS");
        criaRegraCodigo(tr, "GRUPOSPROCED", "GRUPOSPROCED_BI_CODIGO", "SELECT MAX(CODIGO) FROM GRUPOSPROCED");
        criaRegraCodigo(tr, "UNIDADES", "UNIDADES_BI_CODIGO", "SELECT MAX(CODIGO) FROM UNIDADES");
        // The procedures registry takes SUS/consortium table codes of up to 100 characters.
        alargaColuna(tr, "PROCEDIMENTOS", "CODTABSUS", 100);
        // Highest patient code of an origin, read backwards.
        criaIndice(tr, "IX_PESSOAS_ORIGEM_CODIGO_D", "PESSOAS", "CLI_ORIGEM, CODIGO", true);
        // Duplicate-card warning on every patient save.
        criaIndice(tr, "IX_PESSOAS_CARTAOSUS", "PESSOAS", "CARTAOSUS");
        // Balances of the authorization screen: a municipality's month by authorization and by
        // appointment date, a unit's spending and its limit of the day.
        criaIndice(tr, "IX_MARCACAO_ORIGEM_LANC", "MARCACAO", "CLI_ORIGEM, DATALANC");
        criaIndice(tr, "IX_MARCACAO_ORIGEM_MARC", "MARCACAO", "CLI_ORIGEM, DATAMARC");
        criaIndice(tr, "IX_MARCACAO_UNIDADE_LANC", "MARCACAO", "CODUNIDADE, DATALANC");
        criaIndice(tr, "IX_LIMITESUNIDADES_UNIDADE", "LIMITESUNIDADES", "CODUNIDADE, DATAINICIAL");
        // Next authorization number of a municipality, read backwards.
        criaIndice(tr, "IX_MARCACAO_ORIGEM_ID_D", "MARCACAO", "CLI_ORIGEM, ID_MARCACAO", true);
        // A patient's authorizations (delete refusal, histories).
        criaIndice(tr, "IX_MARCACAO_PESSOA", "MARCACAO", "CLI_ORIGEM, CODPESSOA");
        // Billing and its statements: what was received in a period, in all and per entity.
        criaIndice(tr, "IX_MARCACAO_IMPORTACAO", "MARCACAO", "DATA_IMPORTACAO");
        criaIndice(tr, "IX_MARCACAO_ENTIDADE_IMP", "MARCACAO", "CODENTIDADE, DATA_IMPORTACAO");
        // A professional's entity links and procedures (registry load, save and delete); a
        // procedure's links (procedure delete); highest codes read backwards.
        criaIndice(tr, "IX_ENTIDADESPROFISS_PROF", "ENTIDADESPROFISS", "CODPROFISSIONAL");
        criaIndice(tr, "IX_PROFISSPROCED_PROF", "PROFISSPROCED", "CODPROFISSIONAL");
        criaIndice(tr, "IX_PROFISSPROCED_PROCED", "PROFISSPROCED", "CODPROCEDIMENTO");
        criaIndice(tr, "IX_PROFISSIONAIS_CODIGO_D", "PROFISSIONAIS", "CODIGO", true);
        criaIndice(tr, "IX_PROCEDIMENTOS_CODIGO_D", "PROCEDIMENTOS", "CODIGO", true);
        criaIndice(tr, "IX_GRUPOSPROCED_CODIGO_D", "GRUPOSPROCED", "CODIGO", true);
    });
    grupo(tr, [&] { CriaIndicesBusca(tr, progresso); });
}

ResultadoCadeia AtualizaEsquema(Transacao& tr, const Progresso& progresso, const std::function<void()>& correcaoCune,
                                bool bancoNovo)
{
    ResultadoCadeia r;
    // The objects of the current version: before its version is recorded when the last step
    // runs, otherwise on every start.
    bool complementado = false;
    auto complementa = [&] {
        complementado = true;
        try {
            ComplementaEsquema(tr, bancoNovo, progresso);
            return true;
        } catch (const ErroBanco& e) {
            registraFalha(r, tr, QStringLiteral("complemento"), e);
            return false;
        }
    };
    try {
        tr.inicia();
        // A database without its TABDIV row would repeat the chain forever.
        if (!tr.valor(QStringLiteral("select first 1 1 from tabdiv")).isValid()) {
            tr.executa(QStringLiteral("insert into tabdiv (versaobanco) values (null)"));
            tr.commit();
            tr.inicia();
        }
        r.versaoInicial = LeVersaoBanco(tr);
    } catch (const ErroBanco& e) {
        r.estado = ResultadoCadeia::Estado::Falhou;
        r.erro = e.texto();
        return r;
    }
    const QString v = r.versaoInicial;
    if (v > QString::fromLatin1(VersaoPrograma).left(4)) {
        r.estado = ResultadoCadeia::Estado::VersaoMaior;
        r.versaoFinal = v;
        return r;
    }
    for (const Passo& p : passos()) {
        const QString s = QLatin1String(p.versao);
        if (s == QLatin1String("2.10") || s == QLatin1String("2.14") || s == QLatin1String("2.15"))
            avisa(progresso, QString::fromUtf8(kLinha) + s + QStringLiteral("..."));
        if (s == QLatin1String("2.24") && TemPerfil(QStringLiteral("CUNE"))) {
            avisa(progresso, QStringLiteral("Verificando valor das consultas..."));
            {
                try {
                    if (correcaoCune)
                        correcaoCune();
                    else
                        CorrigeValorConsultas(tr);
                } catch (const ErroBanco& e) {
                    r.estado = ResultadoCadeia::Estado::Falhou;
                    r.erro = e.texto();
                    r.passoFalho = s;
                    tr.rollback();
                    return r;
                }
            }
        }
        if (!(v < s))
            continue;
        if (s >= QLatin1String("2.16") && s <= QLatin1String("2.26"))
            avisa(progresso, QString::fromUtf8(kLinha) + s + QStringLiteral("..."));
        if (s == VersaoEsquemaAtual() && !complementa())
            return r;
        try {
            p.executa(tr, progresso);
            r.passos << s;
        } catch (const ErroBanco& e) {
            registraFalha(r, tr, s, e);
            return r;
        }
    }
    if (!complementado && !complementa())
        return r;
    try {
        tr.inicia();
        r.versaoFinal = LeVersaoBanco(tr);
    } catch (const ErroBanco& e) {
        r.estado = ResultadoCadeia::Estado::Falhou;
        r.erro = e.texto();
    }
    return r;
}

} // namespace vx
