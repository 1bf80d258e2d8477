#include "exchange/MensagemXml.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/Texto1252.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QXmlStreamReader>

namespace vx {

namespace FormatoTroca {

QString escapa(const QString& valor)
{
    QString r;
    r.reserve(valor.size() + 8);
    for (qsizetype i = 0; i < valor.size(); ++i) {
        const QChar c = valor.at(i);
        const ushort u = c.unicode();
        if (c == QLatin1Char('&'))
            r += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            r += QLatin1String("&lt;");
        else if (c == QLatin1Char('>') && i >= 2 && valor.at(i - 1) == QLatin1Char(']') && valor.at(i - 2) == QLatin1Char(']'))
            r += QLatin1String("&gt;"); // "]]>" may not appear in text
        else if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D)
            continue; // not allowed in XML 1.0
        else
            r += c;
    }
    return r;
}

QString inteiro(std::optional<qint64> v)
{
    return v ? QString::number(*v) : QString();
}

QString data(const QDate& d)
{
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString dataHora(const QDateTime& dh)
{
    return dh.isValid() ? dh.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString();
}

QString decimal(std::optional<Decimal> v)
{
    return v ? v->toShortString(QLatin1Char(',')) : QString();
}

QString campo(const Campo& c)
{
    return c.texto();
}

QString campoData(const Campo& c)
{
    if (c.nulo)
        return {};
    if (c.tipo == Campo::Tipo::Data || c.tipo == Campo::Tipo::DataHora)
        return data(c.dt);
    return c.texto().left(10);
}

} // namespace FormatoTroca

EscritorMensagem::EscritorMensagem()
    : m_texto(QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\">"))
{
}

void EscritorMensagem::abre(const QString& elemento)
{
    m_texto += QLatin1Char('<') + elemento + QLatin1Char('>');
}

void EscritorMensagem::abre(const QString& elemento, const QString& atributos)
{
    m_texto += QLatin1Char('<') + elemento + QLatin1Char(' ') + atributos + QLatin1Char('>');
}

void EscritorMensagem::fecha(const QString& elemento)
{
    m_texto += QLatin1String("</") + elemento + QLatin1Char('>');
}

void EscritorMensagem::elemento(const QString& elemento, const QString& texto)
{
    abre(elemento);
    m_texto += FormatoTroca::escapa(texto);
    fecha(elemento);
}

void EscritorMensagem::campo(const QString& elemento, const Campo& c)
{
    this->elemento(elemento, FormatoTroca::campo(c));
}

void EscritorMensagem::campoData(const QString& elemento, const Campo& c)
{
    this->elemento(elemento, FormatoTroca::campoData(c));
}

QString EscritorMensagem::texto() const
{
    return m_texto + QLatin1String("</mensagemVXO>");
}

QByteArray EscritorMensagem::bytes(bool fimDeLinha) const
{
    QByteArray b = paraLatin1(texto());
    if (fimDeLinha)
        b += "\r\n";
    return b;
}

void GravaMensagem(const QString& caminho, const QString& texto, bool fimDeLinha)
{
    QByteArray b = paraLatin1(texto);
    if (fimDeLinha)
        b += "\r\n";
    QSaveFile f(caminho);
    if (!f.open(QIODevice::WriteOnly) || f.write(b) < 0 || !f.commit())
        throw ErroMensagem(QStringLiteral("Não foi possível gravar o arquivo ") + caminho + QStringLiteral(": ") + f.errorString());
}

void EscritorMensagem::grava(const QString& caminho, bool fimDeLinha) const
{
    GravaMensagem(caminho, texto(), fimDeLinha);
}

const ElementoXml* ElementoXml::filho(const QString& n) const
{
    for (const ElementoXml& f : filhos)
        if (f.nome == n)
            return &f;
    return nullptr;
}

QList<const ElementoXml*> ElementoXml::filhosChamados(const QString& n) const
{
    QList<const ElementoXml*> r;
    for (const ElementoXml& f : filhos)
        if (f.nome == n)
            r << &f;
    return r;
}

QString ElementoXml::atributo(const QString& n) const
{
    for (const auto& a : atributos)
        if (a.first == n)
            return a.second;
    return {};
}

QString ElementoXml::valor(const QString& caminho) const
{
    const ElementoXml* e = this;
    for (const QString& parte : caminho.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        e = e->filho(parte);
        if (!e)
            return {};
    }
    return e->texto;
}

qint64 TamanhoMaximoXml()
{
    return qint64(Geral::TAMANHOMAXXML()) * 1024 * 1024;
}

namespace {

[[noreturn]] void recusa(const QString& motivo)
{
    throw ErroMensagem(QStringLiteral("Arquivo XML recusado: ") + motivo);
}

QString textoTamanho(qint64 tamanho, qint64 maximo)
{
    return QStringLiteral("%1 bytes, acima do limite de %2 MB (GERAL/TAMANHOMAXXML)").arg(tamanho).arg(maximo / (1024 * 1024));
}

bool codificacaoAceita(QStringView cod)
{
    for (const char* c : {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1", "LATIN-1", "WINDOWS-1252", "CP1252",
                          "UTF-8", "UTF8", "US-ASCII"})
        if (cod.compare(QLatin1String(c), Qt::CaseInsensitive) == 0)
            return true;
    return cod.isEmpty();
}

// Checks on the raw bytes, before the parser sees them. With no NUL byte the text is in a
// single-byte or UTF-8 form (the parser detects UTF-16/32 only by NULs and byte-order marks),
// so a declaration is found here as plain ASCII.
void verificaBytes(const QByteArray& bytes)
{
    const qint64 maximo = TamanhoMaximoXml();
    if (bytes.size() > maximo)
        recusa(textoTamanho(bytes.size(), maximo));
    if (bytes.contains('\0'))
        recusa(QStringLiteral("contém bytes nulos (não é ISO-8859-1)"));
    if (bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE"))
        recusa(QStringLiteral("codificação UTF-16 não aceita"));
    static const QRegularExpression declaracao(
        QStringLiteral("^(?:\\x{EF}\\x{BB}\\x{BF})?<\\?xml[^>]*\\sencoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const QString cod = declaracao.match(QString::fromLatin1(bytes.left(256))).captured(1);
    if (!codificacaoAceita(cod))
        recusa(QStringLiteral("codificação %1 não aceita").arg(cod));
    if (bytes.contains("<!DOCTYPE") || bytes.contains("<!ENTITY"))
        recusa(QStringLiteral("declarações DOCTYPE e ENTITY não são aceitas"));
}

} // namespace

LeitorMensagem::LeitorMensagem(const QByteArray& bytes)
{
    verificaBytes(bytes);
    QXmlStreamReader xml(bytes);
    QList<ElementoXml*> pilha;
    bool temRaiz = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartDocument:
            if (!codificacaoAceita(xml.documentEncoding()))
                recusa(QStringLiteral("codificação %1 não aceita").arg(xml.documentEncoding()));
            break;
        case QXmlStreamReader::DTD:
            recusa(QStringLiteral("declarações DOCTYPE e ENTITY não são aceitas"));
        case QXmlStreamReader::EntityReference:
            recusa(QStringLiteral("entidade &%1; não aceita").arg(xml.name()));
        case QXmlStreamReader::StartElement: {
            if (pilha.size() >= kProfundidadeMaximaXml)
                recusa(QStringLiteral("mais de %1 níveis de elementos").arg(kProfundidadeMaximaXml));
            ElementoXml* e;
            if (pilha.isEmpty()) {
                e = &m_raiz;
                temRaiz = true;
            } else {
                pilha.last()->filhos.append(ElementoXml());
                e = &pilha.last()->filhos.last();
            }
            e->nome = xml.name().toString();
            for (const QXmlStreamNamespaceDeclaration& ns : xml.namespaceDeclarations())
                e->atributos.append({ns.prefix().isEmpty() ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + ns.prefix().toString(),
                                     ns.namespaceUri().toString()});
            for (const QXmlStreamAttribute& a : xml.attributes())
                e->atributos.append({a.qualifiedName().toString(), a.value().toString()});
            pilha << e;
            break;
        }
        case QXmlStreamReader::EndElement:
            pilha.removeLast();
            break;
        case QXmlStreamReader::Characters:
            if (!pilha.isEmpty())
                pilha.last()->texto += xml.text();
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || !temRaiz)
        throw ErroMensagem(QStringLiteral("Arquivo XML inválido (linha %1, coluna %2): %3")
                               .arg(xml.lineNumber())
                               .arg(xml.columnNumber())
                               .arg(xml.hasError() ? xml.errorString() : QStringLiteral("sem elemento raiz")));
}

LeitorMensagem LeitorMensagem::doArquivo(const QString& caminho)
{
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroMensagem(QStringLiteral("Não foi possível abrir o arquivo ") + caminho);
    const qint64 maximo = TamanhoMaximoXml();
    if (f.size() > maximo)
        recusa(textoTamanho(f.size(), maximo));
    // A file that grows meanwhile is refused by the check on the bytes.
    return LeitorMensagem(f.read(maximo + 1));
}

QList<const ElementoXml*> LeitorMensagem::elementos(const QString& caminho) const
{
    QStringList partes = caminho.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (partes.isEmpty())
        return {};
    const QString ultimo = partes.takeLast();
    const ElementoXml* pai = &m_raiz;
    for (const QString& p : partes) {
        pai = pai->filho(p);
        if (!pai)
            return {};
    }
    return pai->filhosChamados(ultimo);
}

} // namespace vx
