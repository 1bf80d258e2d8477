#include "exchange/LoteImportacao.h"
#include "core/Banco.h"
#include "core/UFunc.h"
#include "exchange/ImportacaoMensagens.h"
#include "exchange/ftp/FtpCliente.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSet>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace vx {

void ResultadoLote::soma(const ResultadoLote& o)
{
    listados += o.listados;
    importados += o.importados;
    jaRegistrados += o.jaRegistrados;
    semEfeito += o.semEfeito;
    foraDoPeriodo += o.foraDoPeriodo;
    naoBaixados += o.naoBaixados;
    falhados += o.falhados;
    emOutraEstacao += o.emOutraEstacao;
    naoMarcados += o.naoMarcados;
    interrompido = interrompido || o.interrompido;
    semEfeitoItens += o.semEfeitoItens;
}

bool ResumoArquivo(const QString& local, qint64& tamanho, QString& sha256)
{
    QFile f(local);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!h.addData(&f))
        return false;
    tamanho = f.size();
    sha256 = QString::fromLatin1(h.result().toHex());
    return true;
}

namespace {

// Hands out the files of a list in order, downloaded into arquivosxml/rec/: by the caller's own
// client, or by a second connection working ahead in a thread of its own.
class Baixador {
public:
    Baixador(FtpCliente& principal, const QList<ItemLote>& itens, bool paralelo) : m_principal(principal)
    {
        QHash<QString, int> vezes;
        for (const ItemLote& i : itens) {
            // One local copy per name, whatever the folder it comes from.
            const int n = vezes[i.nome]++;
            m_itens.append({i, PastaRecebidos() + i.nome + (n ? QStringLiteral(" (%1)").arg(n + 1) : QString())});
        }
        if (!paralelo)
            return;
        m_outro = std::make_unique<FtpCliente>();
        try {
            if (!ConectaFtp(*m_outro))
                m_outro.reset();
        } catch (const std::exception&) {
            m_outro.reset();
        }
        if (!m_outro)
            return;
        m_outro->definePrazo(principal.prazo());
        m_thread = std::thread([this] { trabalha(); });
    }

    ~Baixador()
    {
        para();
        if (m_outro)
            m_outro->desconecta();
    }

    // The next file; false after the last one.
    bool proximo(ArquivoRecebido& a)
    {
        if (!m_outro) {
            if (m_proximo >= m_itens.size())
                return false;
            a = baixa(m_principal, m_itens[m_proximo++]);
            return true;
        }
        std::unique_lock<std::mutex> l(m_mutex);
        m_cv.wait(l, [&] { return !m_prontos.empty() || m_fim; });
        if (m_prontos.empty())
            return false;
        a = std::move(m_prontos.front());
        m_prontos.pop_front();
        m_cv.notify_all();
        return true;
    }

    void para()
    {
        if (!m_thread.joinable())
            return;
        {
            std::lock_guard<std::mutex> l(m_mutex);
            m_parar = true;
        }
        m_outro->cancela();
        m_cv.notify_all();
        m_thread.join();
    }

private:
    struct Item {
        ItemLote item;
        QString local;
    };

    ArquivoRecebido baixa(FtpCliente& ftp, const Item& i)
    {
        ArquivoRecebido a;
        a.pasta = i.item.pasta;
        a.nome = i.item.nome;
        a.local = i.local;
        if (m_falhasSeguidas >= 3) {
            // The connection is gone: the rest is left for the next run without trying.
            a.erro = m_ultimaFalha;
            return a;
        }
        try {
            if (ftp.pastaAtual() != a.pasta)
                ftp.mudaPasta(a.pasta);
            ftp.recebe(a.nome, a.local);
            if (!ResumoArquivo(a.local, a.tamanho, a.sha256))
                a.erro = QStringLiteral("Não foi possível ler a cópia baixada ") + a.local;
            m_falhasSeguidas = 0;
        } catch (const ErroFtp& e) {
            a.erro = e.texto();
            m_ultimaFalha = e.texto();
            ++m_falhasSeguidas;
        }
        return a;
    }

    void trabalha()
    {
        for (const Item& i : std::as_const(m_itens)) {
            {
                std::unique_lock<std::mutex> l(m_mutex);
                m_cv.wait(l, [&] { return m_prontos.size() < kAdiante || m_parar; });
                if (m_parar)
                    break;
            }
            ArquivoRecebido a = baixa(*m_outro, i);
            std::lock_guard<std::mutex> l(m_mutex);
            m_prontos.push_back(std::move(a));
            m_cv.notify_all();
        }
        std::lock_guard<std::mutex> l(m_mutex);
        m_fim = true;
        m_cv.notify_all();
    }

    static constexpr size_t kAdiante = 32;
    FtpCliente& m_principal;
    QList<Item> m_itens;
    qsizetype m_proximo = 0;
    int m_falhasSeguidas = 0;
    QString m_ultimaFalha;
    std::unique_ptr<FtpCliente> m_outro;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<ArquivoRecebido> m_prontos;
    bool m_parar = false;
    bool m_fim = false;
};

const QString kSavepoint = QStringLiteral("VX_ARQUIVO");
const char* const kInsereRegistro = "insert into ARQUIVOS_IMPORTADOS (PASTA, NOME, SHA256, TAMANHO, DATAHORA, MARCA) "
                                    "values (?, ?, ?, ?, ?, ?)";

// The files of one commit: imported ones wait for it, registered ones only for their rename.
class Lote {
public:
    Lote(Transacao& tr, FtpCliente& ftp, const OpcoesLote& op, const ImportaArquivo& importa, LogErros& erros,
         ResultadoLote& r)
        : m_tr(tr), m_ftp(ftp), m_op(op), m_importa(importa), m_erros(erros), r(r)
    {
    }

    void processa(const ArquivoRecebido& a)
    {
        if (!a.erro.isEmpty()) {
            ++r.naoBaixados;
            linha(QStringLiteral(" => Não foi possível baixar o arquivo %1: %2").arg(a.nome, a.erro));
            return;
        }
        const bool registra = !m_op.marca.isEmpty();
        QString sql = a.nome;
        bool registrando = false;
        bool noSavepoint = false;
        try {
            if (!m_tr.ativa()) {
                m_tr.inicia();
                m_relogio.start();
            }
            m_tr.executa(QStringLiteral("SAVEPOINT ") + kSavepoint);
            noSavepoint = true;
            if (registra) {
                // The register's key decides: a file registered before (by an earlier run or by
                // another workstation) is refused here and only marked.
                registrando = true;
                sql = QString::fromLatin1(kInsereRegistro);
                if (!m_registro)
                    m_registro = std::make_unique<Comando>(m_tr, sql);
                m_registro->executa({a.pasta, a.nome, a.sha256, a.tamanho, agora(), m_op.marca});
                registrando = false;
            }
            Consulta q(m_tr);
            const Desfecho d = m_importa(q, a, sql);
            q.fecha();
            if (d != Desfecho::Importado) {
                m_tr.executa(QStringLiteral("ROLLBACK TO SAVEPOINT ") + kSavepoint);
                if (d == Desfecho::SemEfeito) {
                    ++r.semEfeito;
                    r.semEfeitoItens.append({a.pasta, a.nome});
                } else {
                    ++r.foraDoPeriodo;
                }
                return;
            }
            // The next file's savepoint (same name) releases this one.
            m_pendentes.append(a);
        } catch (const std::exception& e) {
            const auto* eb = dynamic_cast<const ErroBanco*>(&e);
            if (!desfazArquivo(noSavepoint, e))
                return;
            if (registrando && eb && (eb->chaveDuplicada() || eb->conflitoBloqueio())) {
                // Imported before (committed: only the mark is left), or by another workstation
                // at this moment (left to it).
                if (eb->chaveDuplicada()) {
                    ++r.jaRegistrados;
                    m_aMarcar.append(a);
                } else {
                    ++r.emOutraEstacao;
                    linha(QStringLiteral(" => Arquivo %1 em recepção por outra estação.").arg(a.nome));
                }
                return;
            }
            falha(a, sql, e);
        }
    }

    bool cheio() const
    {
        const qsizetype n = m_pendentes.size() + m_aMarcar.size();
        return n >= m_op.arquivosPorCommit || (n > 0 && m_relogio.isValid() && m_relogio.elapsed() >= m_op.msPorCommit);
    }

    // Commit, then the renames.
    void fecha()
    {
        if (m_tr.ativa()) {
            try {
                m_tr.commit();
                r.importados += int(m_pendentes.size());
                m_aMarcar += m_pendentes;
                if (m_op.importado)
                    for (const ArquivoRecebido& a : std::as_const(m_pendentes))
                        m_op.importado(a.nome);
            } catch (const std::exception& e) {
                try {
                    m_tr.rollback();
                } catch (...) {
                }
                for (const ArquivoRecebido& a : std::as_const(m_pendentes))
                    falha(a, QStringLiteral("commit"), e, false);
                m_erros.grava();
            }
        }
        m_pendentes.clear();
        m_relogio.invalidate();
        if (!m_op.marca.isEmpty())
            for (const ArquivoRecebido& a : std::as_const(m_aMarcar))
                marca(a);
        m_aMarcar.clear();
    }

    const QString& ultimoErro() const { return m_ultimoErro; }

private:
    QDateTime agora() const { return m_op.agora.isValid() ? m_op.agora : QDateTime::currentDateTime(); }
    void linha(const QString& t) const
    {
        if (m_op.linha)
            m_op.linha(t);
    }

    // Undoes the failed file alone; when even that fails the whole commit is lost and its files
    // wait for the next run (false: nothing more to do for this file).
    bool desfazArquivo(bool noSavepoint, const std::exception& e)
    {
        if (!noSavepoint || !m_tr.ativa())
            return true;
        try {
            m_tr.executa(QStringLiteral("ROLLBACK TO SAVEPOINT ") + kSavepoint);
            return true;
        } catch (const std::exception&) {
        }
        try {
            m_tr.rollback();
        } catch (...) {
        }
        for (const ArquivoRecebido& p : std::as_const(m_pendentes))
            falha(p, QStringLiteral("rollback"), e, false);
        m_pendentes.clear();
        return true;
    }

    void falha(const ArquivoRecebido& a, const QString& sql, const std::exception& e, bool grava = true)
    {
        ++r.falhados;
        const auto* f = dynamic_cast<const ErroFtp*>(&e);
        m_ultimoErro = f ? f->texto() : TextoErro(e);
        if (!dynamic_cast<const ErroJaRegistrado*>(&e))
            m_erros.adiciona(sql, m_ultimoErro, QStringLiteral("Erro. "), QDateTime::currentDateTime());
        linha(QStringLiteral(" => Arquivo %1 recusado: %2 (registrado em Erro.TXT)").arg(a.nome, m_ultimoErro));
        if (grava)
            m_erros.grava();
    }

    void marca(const ArquivoRecebido& a)
    {
        const QString novo = m_op.marca + a.nome;
        for (int tentativa = 0;; ++tentativa) {
            try {
                if (m_ftp.pastaAtual() != a.pasta)
                    m_ftp.mudaPasta(a.pasta);
                m_ftp.renomeia(a.nome, novo);
                return;
            } catch (const ErroFtp& e) {
                if (tentativa == 0 && e.codigoResposta() == 0 && !m_ftp.interrompido() && reconecta())
                    continue; // the connection was lost: once more on a new one
                if (tentativa > 0 && renomeado(a.nome, novo))
                    return; // the lost reply was of a rename the server did
                ++r.naoMarcados;
                linha(QStringLiteral(" => Arquivo %1 recebido; a marca no servidor falhou (%2) e será feita na "
                                     "próxima execução.")
                          .arg(a.nome, e.texto()));
                return;
            }
        }
    }

    bool reconecta()
    {
        try {
            return ConectaFtp(m_ftp);
        } catch (const std::exception&) {
            return false;
        }
    }

    bool renomeado(const QString& de, const QString& para)
    {
        try {
            return m_ftp.tamanho(para) >= 0 && m_ftp.tamanho(de) < 0;
        } catch (const ErroFtp&) {
            return false;
        }
    }

    Transacao& m_tr;
    FtpCliente& m_ftp;
    const OpcoesLote& m_op;
    const ImportaArquivo& m_importa;
    LogErros& m_erros;
    ResultadoLote& r;
    QList<ArquivoRecebido> m_pendentes, m_aMarcar;
    QElapsedTimer m_relogio;
    QString m_ultimoErro;
    std::unique_ptr<Comando> m_registro;
};

} // namespace

ResultadoLote ImportaLote(Transacao& tr, FtpCliente& ftp, const QList<ItemLote>& itens, const OpcoesLote& opcoes,
                          const ImportaArquivo& importa, LogErros& erros)
{
    ResultadoLote r;
    QList<ItemLote> unicos;
    QSet<QString> vistos;
    for (const ItemLote& i : itens)
        if (!vistos.contains(i.pasta + QLatin1Char('/') + i.nome)) {
            vistos.insert(i.pasta + QLatin1Char('/') + i.nome);
            unicos.append(i);
        }
    r.listados = int(unicos.size());
    if (unicos.isEmpty())
        return r;
    CriaPastasTroca();
    Lote lote(tr, ftp, opcoes, importa, erros, r);
    {
        Baixador baixador(ftp, unicos, opcoes.baixaEmParalelo && unicos.size() >= 8);
        ArquivoRecebido a;
        int feito = 0;
        while (baixador.proximo(a)) {
            if (opcoes.progresso)
                opcoes.progresso(++feito, int(unicos.size()));
            if (ftp.interrompido()) {
                r.interrompido = true;
                break;
            }
            if (opcoes.antesDoArquivo)
                opcoes.antesDoArquivo(a.nome);
            lote.processa(a);
            if (lote.cheio())
                lote.fecha();
        }
    }
    lote.fecha();
    return r;
}

ResultadoLote ImportaArquivoBaixado(Transacao& tr, FtpCliente& ftp, const QString& local, const QString& remoto,
                                    const OpcoesLote& opcoes, const ImportaArquivo& importa, LogErros& erros,
                                    QString* motivo)
{
    ResultadoLote r;
    r.listados = 1;
    ArquivoRecebido a;
    a.pasta = ftp.pastaAtual();
    a.nome = remoto;
    a.local = local;
    if (!ResumoArquivo(local, a.tamanho, a.sha256))
        a.erro = QStringLiteral("Não foi possível ler ") + local;
    Lote lote(tr, ftp, opcoes, importa, erros, r);
    lote.processa(a);
    lote.fecha();
    if (motivo)
        *motivo = a.erro.isEmpty() ? lote.ultimoErro() : a.erro;
    return r;
}

} // namespace vx
