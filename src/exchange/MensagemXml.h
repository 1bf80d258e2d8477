#pragma once
// Exchange messages: one line of ISO-8859-1 XML with the root mensagemVXO in the namespace
// urn:sngpc-schema. The writer builds the text by hand (no whitespace between elements, only
// "&" and "<" escaped); the reader parses with a conforming parser.
#include "core/Decimal.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <stdexcept>

namespace vx {

class Campo;

class ErroMensagem : public std::runtime_error {
public:
    explicit ErroMensagem(const QString& texto) : std::runtime_error(texto.toStdString()), m_texto(texto) {}
    const QString& texto() const { return m_texto; }

private:
    QString m_texto;
};

// Value forms of the exchange.
namespace FormatoTroca {
QString escapa(const QString& valor); // & and < as entities; invalid XML characters dropped
QString inteiro(std::optional<qint64> v);
QString data(const QDate& d);              // dd/mm/yyyy, invalid → ""
QString dataHora(const QDateTime& dh);     // dd/mm/yyyy hh:nn:ss, invalid → ""
QString decimal(std::optional<Decimal> v); // 30,3 / 12, null → ""
// A database column as text: dates dd/mm/yyyy, timestamps dd/mm/yyyy hh:nn:ss, decimals shortest
// with a comma, null → "".
QString campo(const Campo& c);
// Date part of a date or timestamp column.
QString campoData(const Campo& c);
} // namespace FormatoTroca

class EscritorMensagem {
public:
    // Starts with the declaration and the opening root tag.
    EscritorMensagem();

    void abre(const QString& elemento);
    // Opening tag with a raw attribute text, e.g. abre("det", "nSeq='1'").
    void abre(const QString& elemento, const QString& atributos);
    void fecha(const QString& elemento);
    // <elemento>escaped text</elemento> (an empty text gives <elemento></elemento>).
    void elemento(const QString& elemento, const QString& texto);
    void campo(const QString& elemento, const Campo& c);
    void campoData(const QString& elemento, const Campo& c);

    // The whole text, with the root closed.
    QString texto() const;
    // ISO-8859-1 bytes, optionally followed by CR LF.
    QByteArray bytes(bool fimDeLinha) const;
    // Writes the file, replacing it. Throws ErroMensagem.
    void grava(const QString& caminho, bool fimDeLinha) const;

private:
    QString m_texto;
};

// Writes a message text as ISO-8859-1 (optionally followed by CR LF), replacing the file.
// Throws ErroMensagem.
void GravaMensagem(const QString& caminho, const QString& texto, bool fimDeLinha);

// One element of a parsed message: its name, attributes, direct text and child elements.
struct ElementoXml {
    QString nome;
    QList<QPair<QString, QString>> atributos;
    QString texto; // the element's own text (blank-only text kept)
    QList<ElementoXml> filhos;

    const ElementoXml* filho(const QString& nome) const;
    QList<const ElementoXml*> filhosChamados(const QString& nome) const;
    QString atributo(const QString& nome) const;
    // Text of a child path ("cabecalho/respEnvio"); "" when missing.
    QString valor(const QString& caminho) const;
};

// Elements nested deeper than this (the root is level 1) make an exchange file be refused.
inline constexpr int kProfundidadeMaximaXml = 64;
// Largest exchange file read, in bytes (GERAL/TAMANHOMAXXML, in MB).
qint64 TamanhoMaximoXml();

// Parsed message: the one way exchange files are read. Before anything is kept the file is
// refused ("Arquivo XML recusado: ...") when it is larger than TamanhoMaximoXml(), holds a NUL
// byte, declares an encoding other than ISO-8859-1, Windows-1252, UTF-8 or US-ASCII, carries a
// DOCTYPE or ENTITY declaration, refers to an entity other than the five predefined ones or nests
// elements deeper than kProfundidadeMaximaXml. Missing elements read as empty text.
class LeitorMensagem {
public:
    // Throws ErroMensagem when the bytes are refused or are not well-formed XML.
    explicit LeitorMensagem(const QByteArray& bytes);
    // Refuses an oversized file before reading it.
    static LeitorMensagem doArquivo(const QString& caminho);

    const ElementoXml& raiz() const { return m_raiz; }
    QString valor(const QString& caminho) const { return m_raiz.valor(caminho); }
    // Elements of a path ("marcacao/procedimentos/det"), in document order.
    QList<const ElementoXml*> elementos(const QString& caminho) const;

private:
    ElementoXml m_raiz;
};

} // namespace vx
