#include "core/Configuracao.h"
#include "core/Banco.h"
#include "core/Texto1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace vx {

namespace {
QString secaoDe(const QString& linha)
{
    const QString t = linha.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return {};
}

bool ehComentario(const QString& t)
{
    return t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}
} // namespace

ErroConfiguracao::ErroConfiguracao(const QString& texto)
    : std::runtime_error(texto.toStdString()), m_texto(texto)
{
}

ErroConfiguracao Configuracao::erroLeitura() const
{
    return ErroConfiguracao(QStringLiteral("Não foi possível ler o arquivo de configuração %1 (%2).")
                                .arg(QDir::toNativeSeparators(m_arquivo), m_erroLeitura));
}

void Configuracao::carrega(const QString& arquivo)
{
    m_arquivo = arquivo;
    m_erroLeitura.clear();
    m_linhas.clear();
    m_fimLinha = QStringLiteral("\r\n");
    m_fimFinal = true;
    m_utf8 = false;
    if (arquivo.isEmpty())
        return;
    const QByteArray caminho = QFile::encodeName(arquivo);
    struct stat st {};
    if (::stat(caminho.constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return; // no file: every key reads its default
        m_erroLeitura = QString::fromLocal8Bit(std::strerror(errno));
    } else if (S_ISDIR(st.st_mode)) {
        m_erroLeitura = QStringLiteral("é uma pasta");
    }
    QFile f(arquivo);
    if (m_erroLeitura.isEmpty() && !f.open(QIODevice::ReadOnly))
        m_erroLeitura = f.errorString();
    if (!m_erroLeitura.isEmpty())
        throw erroLeitura();
    QByteArray dados = f.readAll();
    QString texto;
    if (dados.startsWith("\xEF\xBB\xBF")) {
        m_utf8 = true;
        texto = QString::fromUtf8(dados.mid(3));
    } else {
        texto = de1252(dados);
    }
    if (texto.contains(QLatin1String("\r\n")))
        m_fimLinha = QStringLiteral("\r\n");
    else if (texto.contains(QLatin1Char('\n')))
        m_fimLinha = QStringLiteral("\n");
    else if (texto.contains(QLatin1Char('\r')))
        m_fimLinha = QStringLiteral("\r");
    m_fimFinal = texto.isEmpty() || texto.endsWith(QLatin1Char('\n')) || texto.endsWith(QLatin1Char('\r'));
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_linhas = texto.split(QLatin1Char('\n'));
    if (m_fimFinal && !m_linhas.isEmpty() && m_linhas.last().isEmpty())
        m_linhas.removeLast();
}

int Configuracao::linhaDa(const QString& secao, const QString& chave) const
{
    bool dentro = false;
    for (int i = 0; i < m_linhas.size(); ++i) {
        const QString t = m_linhas[i].trimmed();
        if (t.startsWith(QLatin1Char('['))) {
            dentro = secaoDe(t).compare(secao, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!dentro || ehComentario(t))
            continue;
        const int eq = t.indexOf(QLatin1Char('='));
        if (eq > 0 && t.left(eq).trimmed().compare(chave, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString Configuracao::le(const QString& secao, const QString& chave, const QString& padrao) const
{
    const int i = linhaDa(secao, chave);
    if (i < 0)
        return padrao;
    const QString& l = m_linhas[i];
    const QString v = l.mid(l.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

bool Configuracao::existe(const QString& secao, const QString& chave) const
{
    return linhaDa(secao, chave) >= 0;
}

bool Configuracao::leBool(const QString& secao, const QString& chave, bool padrao) const
{
    const QString v = le(secao, chave).trimmed();
    if (v.isEmpty())
        return padrao;
    const QString u = v.toUpper();
    if (u == QLatin1String("1") || u == QLatin1String("TRUE") || u == QLatin1String("S") ||
        u == QLatin1String("SIM") || u == QLatin1String("YES"))
        return true;
    if (u == QLatin1String("0") || u == QLatin1String("FALSE") || u == QLatin1String("N") ||
        u == QLatin1String("NAO") || u == QLatin1String("NÃO") || u == QLatin1String("NO"))
        return false;
    return padrao;
}

int Configuracao::leInt(const QString& secao, const QString& chave, int padrao) const
{
    bool ok = false;
    const int v = le(secao, chave).trimmed().toInt(&ok);
    return ok ? v : padrao;
}

void Configuracao::escreve(const QString& secao, const QString& chave, const QString& valor)
{
    const auto quebra = [](const QString& t) {
        return t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r'));
    };
    if (quebra(valor) || quebra(chave) || quebra(secao))
        throw ErroConfiguracao(QStringLiteral("O valor de %1/%2 não pode conter quebras de linha.").arg(secao, chave));
    if (!m_erroLeitura.isEmpty())
        throw erroLeitura();
    QStringList linhas = m_linhas;
    const int i = linhaDa(secao, chave);
    if (i >= 0) {
        const QString& l = linhas[i];
        linhas[i] = l.left(l.indexOf(QLatin1Char('=')) + 1) + valor;
    } else {
        int fimSecao = -1;
        bool dentro = false;
        for (int k = 0; k < linhas.size(); ++k) {
            const QString t = linhas[k].trimmed();
            if (t.startsWith(QLatin1Char('[')))
                dentro = secaoDe(t).compare(secao, Qt::CaseInsensitive) == 0;
            if (dentro && !t.isEmpty())
                fimSecao = k;
        }
        if (fimSecao < 0) {
            linhas << QLatin1Char('[') + secao + QLatin1Char(']');
            fimSecao = int(linhas.size()) - 1;
        }
        linhas.insert(fimSecao + 1, chave + QLatin1Char('=') + valor);
    }
    if (!m_arquivo.isEmpty()) {
        QString texto = linhas.join(m_fimLinha);
        if (m_fimFinal && !linhas.isEmpty())
            texto += m_fimLinha;
        const QByteArray dados = m_utf8 ? QByteArray("\xEF\xBB\xBF") + texto.toUtf8() : para1252(texto);
        QSaveFile f(m_arquivo);
        if (!f.open(QIODevice::WriteOnly) || f.write(dados) != dados.size() || !f.commit())
            throw ErroConfiguracao(QStringLiteral("Não foi possível gravar o arquivo de configuração %1 (%2).")
                                       .arg(QDir::toNativeSeparators(m_arquivo), f.errorString()));
    }
    m_linhas = linhas;
}

// ---------------------------------------------------------------- installation folder

namespace {
QString& pastaDefinida()
{
    static QString p;
    return p;
}
Configuracao& ini()
{
    static Configuracao c;
    return c;
}
} // namespace

void DefinePastaInstalacao(const QString& pasta)
{
    pastaDefinida() = QDir(pasta).absolutePath();
}

QString PastaInstalacao()
{
    if (!pastaDefinida().isEmpty())
        return pastaDefinida();
    const QString env = qEnvironmentVariable("VORNEX_PASTA");
    if (!env.isEmpty())
        return QDir(env).absolutePath();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString CaminhoInstalacao(const QString& relativo)
{
    return QDir(PastaInstalacao()).filePath(relativo);
}

void CarregaConfiguracao()
{
    ini().carrega(CaminhoInstalacao(QStringLiteral("vornex.conf")));
}

Configuracao& Ini()
{
    return ini();
}

namespace Geral {
static const QString G = QStringLiteral("GERAL");
QString DATABASE()
{
    // A relative local path is taken from the installation folder; "host:path" and a legacy
    // "C:\..." value stay as written.
    const QString v = Ini().le(G, QStringLiteral("DATABASE"));
    if (v.isEmpty() || Conexao::ehServidor(v) || (v.size() >= 2 && v.at(1) == QLatin1Char(':')) ||
        !QDir::isRelativePath(v))
        return v;
    return QDir::cleanPath(CaminhoInstalacao(v));
}
QString USUARIO() { return Ini().le(G, QStringLiteral("USUARIO")); }
QString CONSORCIO() { return Ini().le(G, QStringLiteral("CONSORCIO")); }
QString NTP() { return Ini().le(G, QStringLiteral("NTP"), QString::fromLatin1(kNtpPadrao)); }
bool ATIVARFTP() { return Ini().leBool(G, QStringLiteral("ATIVARFTP"), true); }
int PORTA() { return Ini().leInt(G, QStringLiteral("PORTA"), 21); }
// A number of at least `minimo`; the default otherwise.
static int leIntMinimo(const char* chave, int padrao, int minimo)
{
    const int v = Ini().leInt(G, QLatin1String(chave), padrao);
    return v >= minimo ? v : padrao;
}
int FTPTEMPOTOTAL() { return leIntMinimo("FTPTEMPOTOTAL", 120, 0); }
int FTPTEMPOLENTO() { return leIntMinimo("FTPTEMPOLENTO", 30, 1); }
QString CEP() { return Ini().le(G, QStringLiteral("CEP")); }
QString LOGO() { return Ini().le(G, QStringLiteral("LOGO")); }
QString CNES() { return Ini().le(G, QStringLiteral("CNES")); }
QString CNPJCPF() { return Ini().le(G, QStringLiteral("CNPJCPF")); }
QString ENDERECO() { return Ini().le(G, QStringLiteral("ENDERECO")); }
QString NUMERO() { return Ini().le(G, QStringLiteral("NUMERO")); }
QString CIDADE() { return Ini().le(G, QStringLiteral("CIDADE")); }
QString UF() { return Ini().le(G, QStringLiteral("UF")); }
QString CONTATO() { return Ini().le(G, QStringLiteral("CONTATO")); }
QString RESPONSAVEL() { return Ini().le(G, QStringLiteral("RESPONSAVEL")); }
QString CARGORESP() { return Ini().le(G, QStringLiteral("CARGORESP")); }
QString DESCTAXA() { return Ini().le(G, QStringLiteral("DESCTAXA")); }
QString PREFEITURA() { return Ini().le(G, QStringLiteral("PREFEITURA")); }
int TAMANHOMAXXML() { return leIntMinimo("TAMANHOMAXXML", 8, 1); }
QString SIGTAPURL() { return Ini().le(G, QStringLiteral("SIGTAPURL")); }
QString PASTABPA() { return Ini().le(G, QStringLiteral("PASTABPA")).trimmed(); }
bool ALTERADATAREALIZACAO() { return Ini().leBool(G, QStringLiteral("ALTERADATAREALIZACAO"), false); }

QString SITEATUALIZACAO()
{
    QString v = Ini().le(G, QStringLiteral("SITEATUALIZACAO"));
    if (v.isEmpty())
        v = QStringLiteral("http://www.vornex.com.br/atualizacao/");
    if (!v.endsWith(QLatin1Char('/')))
        v += QLatin1Char('/');
    return v;
}
} // namespace Geral

} // namespace vx
