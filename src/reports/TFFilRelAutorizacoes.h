#pragma once
// "Relatório de Procedimentos Autorizados": the one filter of the authorization and production
// reports, configured by the menu item (or the billing screen) that opens it.
#include "reports/FiltroAutorizacoes.h"
#include "reports/TFFiltroRelatorio.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QToolButton;
class QWidget;

namespace vx {

struct PresetRelatorio;
class TPersonEdit;

class TFFilRelAutorizacoes : public TFFiltroRelatorio {
    Q_OBJECT
public:
    explicit TFFilRelAutorizacoes(QWidget* parent = nullptr);

    // Opens from a menu item's preset.
    static TFFilRelAutorizacoes* Abre(const PresetRelatorio& preset);
    // Opens from the billing screen: its period, the chosen municipality (municipality billing)
    // or entity, the caller "ADMINISTRATIVO-F" and the grouping that billing asks for.
    static TFFilRelAutorizacoes* AbreFaturamento(const QDate& inicio, const QDate& fim, const QString& codigo,
                                                 bool municipios);

    // What the fields say now.
    FiltroAutorizacoes filtro() const;

    TPersonEdit *PEData1, *PEData2, *PEDataAgenda1, *PEDataAgenda2;
    QComboBox *CBTipoData, *CBBloqueados, *CBOrdem, *CBAgruparPor, *CBValor, *CBRegistroBPA;
    QCheckBox *CBNaoAgendados, *CBMaisFiltros, *CBRelAgrupado;
    TPersonEdit *PECodMun, *PECodUnidade, *PECodPessoa, *PECodEntidade, *PECodProfissional, *PECodGrupo,
        *PECodProcedimento;
    QLabel *LRelatorio, *LChamador;
    QWidget* PMaisFiltros;

protected:
    void showEvent(QShowEvent* e) override;
    bool valida() override;
    std::shared_ptr<rel::Documento> gera(Transacao& tr) override;
    QString tituloPreview() const override;

private:
    void iniciaPorPapel();
    void mostraOpcoes();
    void defineCodigo(TPersonEdit* campo, const QString& codigo);
    CodigoFiltro codigoDe(TPersonEdit* campo) const;

    bool m_totaliza = false;
    bool m_ocultaAgrupamento = false;
    bool m_agrupamentoFixo = false; // the role fixes the grouping
    QHash<TPersonEdit*, QLayout*> m_linhas; // rows of the further filters
    QHash<TPersonEdit*, QLabel*> m_nomes;
    QHash<TPersonEdit*, QToolButton*> m_buscas;
};

} // namespace vx
