#pragma once
// A real HTTP server for tests: Python's http.server run by /usr/bin/python3 on 127.0.0.1,
// serving a temporary folder. Single paths can be made to answer badly: cut short, redirected
// or stalled.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace vx::test {

class ServidorHttp {
public:
    ServidorHttp();
    ~ServidorHttp();
    ServidorHttp(const ServidorHttp&) = delete;
    ServidorHttp& operator=(const ServidorHttp&) = delete;

    bool ativo() const { return m_porta > 0; }
    QString erro() const { return m_erro; }
    int porta() const { return m_porta; }
    // "http://127.0.0.1:<port>/" + caminho.
    QString url(const QString& caminho = {}) const;
    // Served folder and a file in it (its folders created).
    QString raiz() const;
    void grava(const QString& caminho, const QByteArray& dados) const;

    // From now on the path ("/a/b.zip") announces its whole length but sends only `bytes` of it
    // and closes the connection.
    void corta(const QString& caminho, qint64 bytes);
    // ... answers with a 302 redirect to `destino`.
    void desvia(const QString& caminho, const QString& destino);
    // ... sends the headers and `bytes` of the body, then nothing more.
    void trava(const QString& caminho, qint64 bytes);
    // Stops the server; its port then refuses connections.
    void para();

private:
    void regra(const QString& caminho, const QString& tipo, const QString& valor);
    QTemporaryDir m_dir;
    QProcess m_proc;
    int m_porta = 0;
    QString m_erro;
};

} // namespace vx::test
