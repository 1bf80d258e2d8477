#include "core/schema/Esquema.h"
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/schema/Cadeia.h"
#include "core/schema/Catalogo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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
                                    "VALORSUS NUMERIC(10,2), CODTABSUS VARCHAR(100), REGISTRO VARCHAR(2), "
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

namespace {

// The initial tables and the whole chain, on a database file created at `nome`.
QString constroi(const QString& nome, const Progresso& progresso, bool escritaForcada)
{
    Conexao::criaBanco(nome, UsuarioBanco(), SenhaBanco(), escritaForcada);
    Conexao con;
    con.conecta(nome, UsuarioBanco(), SenhaBanco());
    Transacao tr(con);
    CriaTabelasIniciais(tr);
    const ResultadoCadeia r = AtualizaEsquema(tr, progresso, {}, true);
    if (r.estado != ResultadoCadeia::Estado::Ok)
        throw ErroBanco(QStringLiteral("Falha na versão %1: %2").arg(r.passoFalho, r.erro));
    return r.versaoFinal;
}

bool sincroniza(const QString& caminho, int modo)
{
    const int fd = ::open(QFile::encodeName(caminho).constData(), modo | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    const int erro = errno;
    ::close(fd);
    errno = erro;
    return ok;
}

// Renames `de` to `para` unless `para` exists (checked by the file system where it can).
void renomeiaSemSubstituir(const QString& de, const QString& para)
{
    const QByteArray a = QFile::encodeName(de), b = QFile::encodeName(para);
    int rc = ::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
        if (QFileInfo::exists(para)) {
            errno = EEXIST;
        } else {
            rc = ::rename(a.constData(), b.constData());
        }
    }
    if (rc != 0) {
        if (errno == EEXIST)
            throw ErroBanco(QStringLiteral("O arquivo %1 já existe.").arg(para));
        throw ErroBanco(QStringLiteral("Falha ao renomear %1: %2").arg(de, QString::fromLocal8Bit(std::strerror(errno))));
    }
}

} // namespace

QString CriaBancoNovo(const QString& arquivo, const Progresso& progresso, bool escritaForcada)
{
    // A server creates the file in place (nothing renames through it); every step records its
    // version after its objects, so the next start resumes an interrupted creation.
    if (Conexao::ehServidor(arquivo))
        return constroi(arquivo, progresso, escritaForcada);

    // A local database is built under a temporary name and appears at its own name only complete.
    const QFileInfo destino(arquivo);
    if (destino.exists() || destino.isSymLink())
        throw ErroBanco(QStringLiteral("O arquivo %1 já existe.").arg(arquivo));
    if (!destino.absoluteDir().exists())
        throw ErroBanco(QStringLiteral("A pasta %1 não existe.").arg(destino.absolutePath()));
    const QString temporario = arquivo + QStringLiteral(".criando");
    QLockFile trava(temporario + QStringLiteral(".trava"));
    trava.setStaleLockTime(0); // only a dead owner frees it: a creation may take long
    if (!trava.tryLock(0))
        throw ErroBanco(trava.error() == QLockFile::LockFailedError
                            ? QStringLiteral("Outro processo está criando %1.").arg(arquivo)
                            : QStringLiteral("Sem permissão para criar arquivos em %1.").arg(destino.absolutePath()));
    // Left by an interrupted creation.
    if (QFileInfo::exists(temporario) && !QFile::remove(temporario))
        throw ErroBanco(QStringLiteral("Não foi possível remover %1.").arg(temporario));
    try {
        // A file nobody uses yet needs no synchronous writes: it is synchronised once, before the rename.
        const QString versao = constroi(temporario, progresso, false); // detached on return
        if (escritaForcada)
            Conexao::defineEscritaForcada(temporario, UsuarioBanco(), SenhaBanco(), true);
        if (!sincroniza(temporario, O_RDONLY))
            throw ErroBanco(QStringLiteral("Falha ao gravar %1: %2")
                                .arg(temporario, QString::fromLocal8Bit(std::strerror(errno))));
        renomeiaSemSubstituir(temporario, arquivo);
        sincroniza(destino.absolutePath(), O_RDONLY | O_DIRECTORY); // the new name survives a crash
        return versao;
    } catch (...) {
        QFile::remove(temporario);
        throw;
    }
}

} // namespace vx
