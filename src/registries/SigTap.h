#pragma once
// Import of the national procedure table (SIGTAP): the fixed-width files of the installation's
// sigtap folder, their download from GERAL/SIGTAPURL, and the import into CBO and the SUS price
// and registration instruments of PROCEDIMENTOS.
//
// Files are ISO-8859-1, lines split on LF (a trailing CR removed, blank lines skipped); positions
// are 1-based and inclusive. Values are hundredths ("000000001000" is 10,00).
#include "core/Decimal.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

namespace vx {

class Transacao;

inline constexpr const char* kSigTapOcupacao = "tb_ocupacao.txt";
inline constexpr const char* kSigTapProcedimento = "tb_procedimento.txt";
inline constexpr const char* kSigTapRegistro = "rl_procedimento_registro.txt";
inline constexpr const char* kSigTapProcedOcupacao = "rl_procedimento_ocupacao.txt";
// Optional: the positions of tb_procedimento.txt (CSV "Coluna,Tamanho,Inicio,Fim,Tipo").
inline constexpr const char* kSigTapLayout = "tb_procedimento_layout.txt";

// The four table files in download order.
QStringList ArquivosSigTap();
// CaminhoInstalacao("sigtap"), created when missing.
QString PastaSigTap();

struct PosicaoSigTap {
    int inicio = 0; // 1-based
    int fim = 0;    // inclusive
};

// Where tb_procedimento.txt keeps the code and the three values (VL_SH, VL_SA, VL_SP).
struct LayoutProcedimento {
    PosicaoSigTap codigo, valorSh, valorSa, valorSp;
};
// Records of 336 characters or more: 12-digit values at 283, 295 and 307.
LayoutProcedimento LayoutProcedimentoAtual();
// Shorter records: 10-digit values at 283, 293 and 303.
LayoutProcedimento LayoutProcedimentoAntigo();
// The layout file; nullopt when it does not exist. ErroValor naming the file when it cannot be
// read or lacks one of CO_PROCEDIMENTO, VL_SH, VL_SA, VL_SP.
std::optional<LayoutProcedimento> LeLayoutProcedimento(const QString& arquivo);

// SUS price: the second value when it is not zero, else the first plus the third.
Decimal PrecoSus(const Decimal& primeiro, const Decimal& segundo, const Decimal& terceiro);

struct OcupacaoSigTap {
    QString codigo, nome;
};
struct PrecoSigTap {
    QString codigo;
    Decimal preco;
};
struct RegistroSigTap {
    QString codigo, instrumento;
};
// One line of each file. ErroValor with the reason (line too short for a field, a value that is
// not all digits, an empty code, a price that does not fit NUMERIC(10,2)). Without a layout the
// positions follow the record's length.
OcupacaoSigTap LeLinhaOcupacao(const QString& linha);
PrecoSigTap LeLinhaProcedimento(const QString& linha, const LayoutProcedimento* layout);
RegistroSigTap LeLinhaRegistro(const QString& linha);
// "01" → 'C', "02" → 'I', anything else → null.
QChar LetraRegistro(const QString& instrumento);

// Deletes each local copy of the four files and of the layout file in `pasta` and downloads it
// from `url` (a "/" added when missing), telling each of the four through `status` ("Baixando
// arquivo n de 4 => <file>. Aguarde..."). A failed download leaves no file. Returns
// "<file>: <reason>" for each of the four that failed (the layout file may be missing).
QStringList BaixaTabelasSigTap(const QString& pasta, const QString& url,
                               const std::function<void(const QString&)>& status = {});

struct OpcoesSigTap {
    bool cbo = true;
    bool procedimentos = true;
};
struct ResultadoSigTap {
    int ocupacoes = 0; // CBO rows written (0: CBO left as it was)
    int precos = 0;    // table codes whose price reached consortium procedures
    int registros = 0; // instrument letters appended
};

// Reads and checks every file the options need (ErroValor "Arquivo <file>, linha <n>: ..." before
// anything is written), then in one transaction on `tr` with one audit row ("SIGTAP", "I"):
// CBO replaced by tb_ocupacao.txt (an empty file leaves it), VALORSUS of the procedures whose
// CODTABSUS is in tb_procedimento.txt, REGISTRO emptied and rebuilt from
// rl_procedimento_registro.txt. `progresso` receives the counter text of each step and line.
// Any error rolls everything back.
ResultadoSigTap ImportaSigTap(Transacao& tr, const QString& pasta, const OpcoesSigTap& opcoes,
                              const std::function<void(const QString&)>& progresso = {});

} // namespace vx
