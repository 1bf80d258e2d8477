#include "support/ServidorHttp.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace vx::test {

namespace {
// Server script: serves argv[2], port 0 (the chosen port is printed). "regras.json" in argv[1],
// read on every request, maps a path to {"corta": n} / {"desvia": url} / {"trava": n}.
const char* const kScript = R"PY(
import functools, http.server, json, os, sys, time

base, raiz = sys.argv[1], sys.argv[2]

class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *a):
        pass

    def do_GET(self):
        try:
            with open(os.path.join(base, 'regras.json')) as f:
                regra = json.load(f).get(self.path.split('?')[0], {})
        except (OSError, ValueError):
            regra = {}
        if 'desvia' in regra:
            self.send_response(302)
            self.send_header('Location', regra['desvia'])
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        if 'corta' in regra or 'trava' in regra:
            caminho = self.translate_path(self.path)
            with open(caminho, 'rb') as f:
                dados = f.read()
            self.send_response(200)
            self.send_header('Content-Length', str(len(dados)))
            self.end_headers()
            self.wfile.write(dados[:regra.get('corta', regra.get('trava'))])
            self.wfile.flush()
            if 'trava' in regra:
                time.sleep(60)
            self.close_connection = True
            return
        return super().do_GET()

srv = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=raiz))
srv.daemon_threads = True
print(srv.server_address[1], flush=True)
srv.serve_forever()
)PY";
} // namespace

ServidorHttp::ServidorHttp()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("raiz"));
    m_porta = IniciaServidorPython(m_proc, m_dir.filePath(QStringLiteral("servidor.py")), kScript, {m_dir.path(), raiz()},
                                   &m_erro);
}

ServidorHttp::~ServidorHttp()
{
    para();
}

void ServidorHttp::para()
{
    if (m_proc.state() != QProcess::NotRunning) {
        m_proc.kill();
        m_proc.waitForFinished(5000);
    }
}

QString ServidorHttp::url(const QString& caminho) const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_porta) + caminho;
}

QString ServidorHttp::raiz() const
{
    return m_dir.filePath(QStringLiteral("raiz"));
}

void ServidorHttp::grava(const QString& caminho, const QByteArray& dados) const
{
    const QString p = QDir(raiz()).filePath(caminho);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    f.open(QIODevice::WriteOnly);
    f.write(dados);
}

void ServidorHttp::corta(const QString& caminho, qint64 bytes)
{
    regra(caminho, QStringLiteral("corta"), QString::number(bytes));
}

void ServidorHttp::desvia(const QString& caminho, const QString& destino)
{
    regra(caminho, QStringLiteral("desvia"), destino);
}

void ServidorHttp::trava(const QString& caminho, qint64 bytes)
{
    regra(caminho, QStringLiteral("trava"), QString::number(bytes));
}

void ServidorHttp::regra(const QString& caminho, const QString& tipo, const QString& valor)
{
    const QString arquivo = m_dir.filePath(QStringLiteral("regras.json"));
    QFile atual(arquivo);
    QJsonObject regras = atual.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(atual.readAll()).object() : QJsonObject();
    bool numero = false;
    const qint64 n = valor.toLongLong(&numero);
    regras.insert(caminho, QJsonObject{{tipo, numero ? QJsonValue(n) : QJsonValue(valor)}});
    // Replaced in one step: the server never reads a half-written file.
    QSaveFile f(arquivo);
    f.open(QIODevice::WriteOnly);
    f.write(QJsonDocument(regras).toJson());
    f.commit();
}

} // namespace vx::test
