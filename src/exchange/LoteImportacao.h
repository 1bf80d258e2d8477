#pragma once
// Exchange files imported exactly once. Each installation registers the files it imported
// (ARQUIVOS_IMPORTADOS: remote folder, name, SHA-256 of the bytes, size, time); a file's rows and
// its register row commit together, and only then is the file marked on the server by a rename.
// A listed file that is already registered is only renamed. Several files share one commit, each
// under a savepoint of its own (a failed file rolls back alone); a second connection downloads
// the next files while the current ones are imported.
#include "exchange/ftp/TransporteFtp.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <stdexcept>

namespace vx {

class Consulta;
class FtpCliente;
class LogErros;
class Transacao;

// A failure already written to the error log under its own prefix.
class ErroJaRegistrado : public std::runtime_error {
public:
    explicit ErroJaRegistrado(const QString& texto) : std::runtime_error(texto.toStdString()) {}
};

struct ArquivoRecebido {
    QString pasta;  // remote folder (FtpCliente::pastaAtual)
    QString nome;   // remote name
    QString local;  // the downloaded copy
    qint64 tamanho = -1;
    QString sha256; // hex digits of the bytes
    QString erro;   // the download failed (the file is tried again next run)
};

// Size and SHA-256 of a local file; false when it cannot be read.
bool ResumoArquivo(const QString& local, qint64& tamanho, QString& sha256);

enum class Desfecho {
    Importado,     // rows written: registered and marked
    SemEfeito,     // nothing to do yet (a block before its authorization): rolled back, left alone
    ForaDoPeriodo, // left alone on purpose (typed before the calendar)
};

// Writes the rows of one file on `q` (inside the file's savepoint). `sql` holds the statement being
// built or run, for the error log. A raised error fails the file alone.
using ImportaArquivo = std::function<Desfecho(Consulta& q, const ArquivoRecebido& a, QString& sql)>;

struct ItemLote {
    QString pasta; // remote folder of the file
    QString nome;
};

struct OpcoesLote {
    QString marca;               // prefix of the rename; empty: neither registered nor marked
    int arquivosPorCommit = 250; // files that share one commit, at most
    int msPorCommit = 2000;      // and the time one commit may wait for
    bool baixaEmParalelo = true; // a second connection downloads ahead (for lists of some size)
    LinhaStatus linha;           // progress lines (" => ...")
    std::function<void(const QString& nome)> antesDoArquivo; // each file, before its import
    std::function<void(const QString& nome)> importado;      // each file, once its rows committed
    std::function<void(int feito, int total)> progresso;
    QDateTime agora;             // invalid: the clock
};

struct ResultadoLote {
    int listados = 0;
    int importados = 0;     // committed in this run
    int jaRegistrados = 0;  // imported by an earlier run (or another workstation): only marked
    int semEfeito = 0;      // left alone for now (see Desfecho::SemEfeito)
    int foraDoPeriodo = 0;
    int naoBaixados = 0;
    int falhados = 0;       // rolled back, written to Erro.TXT
    int emOutraEstacao = 0; // another workstation is importing it at this moment
    int naoMarcados = 0;    // committed, but the rename failed: done by the next run
    bool interrompido = false;
    QList<ItemLote> semEfeitoItens; // for a later try in the same run
    void soma(const ResultadoLote& o);
};

// Downloads, imports, commits and marks the files of `itens` in their order (a name repeated in
// one folder is taken once). `tr` is the main transaction: each commit is its own.
ResultadoLote ImportaLote(Transacao& tr, FtpCliente& ftp, const QList<ItemLote>& itens, const OpcoesLote& opcoes,
                          const ImportaArquivo& importa, LogErros& erros);

// One file already downloaded into `local`, in the client's current folder: registered check,
// import, commit, rename (the single-file form of ImportaLote).
ResultadoLote ImportaArquivoBaixado(Transacao& tr, FtpCliente& ftp, const QString& local, const QString& remoto,
                                    const OpcoesLote& opcoes, const ImportaArquivo& importa, LogErros& erros,
                                    QString* motivo = nullptr);

} // namespace vx
