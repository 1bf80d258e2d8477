#include "core/UDMCune.h"
#include "core/Configuracao.h"

#include <QFile>

#include <cerrno>

#include <sys/stat.h>

namespace vx {

namespace {
TDMCUNE*& atual()
{
    static TDMCUNE* dm = nullptr;
    return dm;
}
} // namespace

QString UsuarioBanco()
{
    const QString env = qEnvironmentVariable("VORNEX_DB_USUARIO");
    return env.isEmpty() ? QStringLiteral("SYSDBA") : env;
}

QString SenhaBanco()
{
    const QString env = qEnvironmentVariable("VORNEX_DB_SENHA");
    if (!env.isEmpty())
        return env;
    const QString ini = Ini().le(QStringLiteral("GERAL"), QStringLiteral("DBSENHA"));
    return ini.isEmpty() ? QString::fromLatin1(kSenhaBancoPadrao) : ini;
}

TDMCUNE::TDMCUNE()
{
    if (!atual())
        atual() = this;
}

TDMCUNE::~TDMCUNE()
{
    IBQuery.fecha();
    IBQLivre.fecha();
    IBQMunics.fecha();
    try {
        IBTransaction.rollback();
        IBTLivre.rollback();
    } catch (...) {
    }
    IBDatabase.desconecta();
    if (atual() == this)
        atual() = nullptr;
}

QString TDMCUNE::MensagemFalhaConexao(const QString& nome)
{
    return QStringLiteral("Não encontrado arquivo de banco de dados em ") + nome;
}

FalhaConexao TDMCUNE::CausaFalha(const QString& nome, const ErroBanco& erro)
{
    if (nome.trimmed().isEmpty())
        return FalhaConexao::ArquivoAusente;
    if (!Conexao::ehServidor(nome)) {
        // Only a path that is not there; a folder without permission keeps the server's reason.
        struct stat st {};
        if (::stat(QFile::encodeName(nome).constData(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
            return FalhaConexao::ArquivoAusente;
    }
    return ClassificaFalhaConexao(erro);
}

QString TDMCUNE::MensagemFalhaConexao(const QString& nome, const ErroBanco& erro)
{
    QString causa;
    switch (CausaFalha(nome, erro)) {
    case FalhaConexao::ArquivoAusente:
        return MensagemFalhaConexao(nome);
    case FalhaConexao::SenhaRecusada:
        causa = QStringLiteral("O servidor recusou o usuário ou a senha do banco de dados em %1.");
        break;
    case FalhaConexao::EmUso:
        causa = QStringLiteral("O banco de dados em %1 está em uso por outro programa.");
        break;
    case FalhaConexao::SomenteLeitura:
        causa = QStringLiteral("O arquivo de banco de dados em %1 é somente leitura.");
        break;
    case FalhaConexao::Danificado:
        causa = QStringLiteral("O arquivo em %1 está danificado ou não é um banco de dados.");
        break;
    case FalhaConexao::Outra:
        causa = QStringLiteral("Não foi possível conectar ao banco de dados em %1.");
        break;
    }
    return causa.arg(nome) + QStringLiteral("\n\n") + erro.texto().trimmed();
}

bool TDMCUNE::ConectaBanco(const QString& nome, QString* erro)
{
    const QString banco = nome.isNull() ? Geral::DATABASE() : nome;
    m_mensagemFalha.clear();
    m_falha = FalhaConexao::Outra;
    try {
        DesconectaBanco();
        if (banco.trimmed().isEmpty())
            throw ErroBanco(QStringLiteral("Banco de dados não configurado"));
        IBDatabase.conecta(banco, UsuarioBanco(), SenhaBanco());
        IBTransaction.inicia();
        if (!IBDatabase.conectado())
            throw ErroBanco(QStringLiteral("Banco de dados não conectado"));
        return true;
    } catch (const ErroBanco& e) {
        m_falha = CausaFalha(banco, e);
        m_mensagemFalha = MensagemFalhaConexao(banco, e);
        if (erro)
            *erro = e.texto();
        return false;
    }
}

void TDMCUNE::DesconectaBanco()
{
    IBQuery.fecha();
    IBQLivre.fecha();
    IBQMunics.fecha();
    IBTransaction.rollback();
    IBTLivre.rollback();
    IBDatabase.desconecta();
}

TDMCUNE* DMCUNE()
{
    return atual();
}

void DefineDMCUNE(TDMCUNE* dm)
{
    atual() = dm;
}

} // namespace vx
