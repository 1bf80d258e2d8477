#include "support/Xlsx.h"
#include "core/Decimal.h"

#include <QProcess>
#include <QXmlStreamReader>

namespace vx::test {

QByteArray MembroXlsx(const QString& arquivo, const QString& nome)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import zipfile,sys; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))"),
             arquivo, nome});
    p.waitForFinished();
    return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}

FolhaXlsx LeXlsx(const QString& arquivo)
{
    QStringList textos;
    QXmlStreamReader ss(MembroXlsx(arquivo, QStringLiteral("xl/sharedStrings.xml")));
    while (!ss.atEnd())
        if (ss.readNext() == QXmlStreamReader::StartElement && ss.name() == u"t")
            textos << ss.readElementText();

    // Built-in formats have no numFmt element.
    QMap<int, QString> formatos{{0, QString()}, {1, QStringLiteral("0")}, {2, QStringLiteral("0.00")},
                                {3, QStringLiteral("#,##0")}, {4, QStringLiteral("#,##0.00")}};
    QStringList estilos;
    bool emXfs = false;
    QXmlStreamReader st(MembroXlsx(arquivo, QStringLiteral("xl/styles.xml")));
    while (!st.atEnd()) {
        st.readNext();
        if (st.isStartElement() && st.name() == u"numFmt")
            formatos[st.attributes().value("numFmtId").toInt()] = st.attributes().value("formatCode").toString();
        else if (st.isStartElement() && st.name() == u"cellXfs")
            emXfs = true;
        else if (st.isEndElement() && st.name() == u"cellXfs")
            emXfs = false;
        else if (emXfs && st.isStartElement() && st.name() == u"xf")
            estilos << formatos.value(st.attributes().value("numFmtId").toInt(), QStringLiteral("?"));
    }

    FolhaXlsx f;

    QXmlStreamReader x(MembroXlsx(arquivo, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString tipo, estilo;
    int coluna = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        const auto a = x.attributes();
        if (x.name() == u"col") {
            for (int c = a.value("min").toInt(); c <= a.value("max").toInt(); ++c)
                f.larguras[c - 1] = a.value("width").toDouble();
        } else if (x.name() == u"row") {
            f.linhas.resize(a.value("r").toInt());
        } else if (x.name() == u"c") {
            const QString ref = a.value("r").toString();
            coluna = 0;
            for (QChar ch : ref)
                if (ch.isLetter())
                    coluna = coluna * 26 + (ch.unicode() - 'A' + 1);
            tipo = a.value("t").toString();
            estilo = estilos.value(a.value("s").toInt());
        } else if (x.name() == u"v") {
            QStringList& linha = f.linhas.last();
            while (linha.size() < coluna)
                linha << QString();
            const QString v = x.readElementText();
            linha[coluna - 1] = tipo == u"s" ? "t:" + textos.value(v.toInt())
                                             : "n:" + Decimal::parse(v).value_or(Decimal(-999, 0)).rescaled(2).toSql() + "@" + estilo;
        }
    }
    return f;
}

} // namespace vx::test
