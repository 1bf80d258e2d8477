#pragma once
// Printed receipts: the standard set (one page per receipt, two identical halves) and the
// "aviso de empenho" set of the profiles that bill the municipalities' statement (one page each).
#include "billing/Documentos.h"
#include "reports/Relatorio.h"

#include <memory>

class QWidget;

namespace vx {

class TRImpRecibos {
public:
    static std::shared_ptr<rel::Documento> Gera(const QVector<Recibo>& recibos, const IdentidadeConsorcio& id);
    static bool Executa(const QVector<Recibo>& recibos, const IdentidadeConsorcio& id, QWidget* pai = nullptr);
};

class TRImpRecibosCumbel {
public:
    static std::shared_ptr<rel::Documento> Gera(const QVector<AvisoEmpenho>& avisos, const IdentidadeConsorcio& id,
                                                const QString& perfil);
    static bool Executa(const QVector<AvisoEmpenho>& avisos, const IdentidadeConsorcio& id, const QString& perfil,
                        QWidget* pai = nullptr);
};

} // namespace vx
