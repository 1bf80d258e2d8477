-- Sample data of the demo installations (the CUNE consortium and its member municipality 4314902).
insert into usuarios (usuario, senha, podefaturar) values ('demo', 'demo123', 'S');
-- Names with ADM may keep the care units and their limits.
insert into usuarios (usuario, senha, podefaturar) values ('admin', 'admin123', 'S');
insert into ibgemunic (codigo, cidade, uf) values ('4314902', 'PORTO ALEGRE', 'RS');
insert into ibgemunic (codigo, cidade, uf) values ('4304606', 'CANOAS', 'RS');
insert into ibgemunic (codigo, cidade, uf) values ('4318705', 'SAO LEOPOLDO', 'RS');
insert into ibgemunic (codigo, cidade, uf) values ('4313409', 'NOVO HAMBURGO', 'RS');
insert into ibgemunic (codigo, cidade, uf) values ('4310207', 'IJUI', 'RS');
insert into cid (codigo, descricao) values ('J45', 'ASMA');
insert into cid (codigo, descricao) values ('I10', 'HIPERTENSAO ESSENCIAL');
insert into cid (codigo, descricao) values ('E11', 'DIABETES MELLITUS NAO-INSULINO-DEPENDENTE');
insert into cid (codigo, descricao) values ('M54', 'DORSALGIA');
insert into cbo (codigo, descricao) values ('225125', 'MEDICO CLINICO');
insert into cbo (codigo, descricao) values ('225133', 'MEDICO PSIQUIATRA');
insert into cbo (codigo, descricao) values ('225120', 'MEDICO CARDIOLOGISTA');
insert into cbo (codigo, descricao) values ('225265', 'MEDICO OFTALMOLOGISTA');
insert into cbo (codigo, descricao) values ('225320', 'MEDICO EM RADIOLOGIA E DIAGNOSTICO POR IMAGEM');
insert into cbo (codigo, descricao) values ('251510', 'PSICOLOGO CLINICO');
insert into cbo (codigo, descricao) values ('223810', 'FONOAUDIOLOGO');
insert into cbo (codigo, descricao) values ('225250', 'MEDICO GINECOLOGISTA E OBSTETRA');
insert into cbo (codigo, descricao) values ('223605', 'FISIOTERAPEUTA GERAL');
insert into cbo (codigo, descricao) values ('221205', 'BIOMEDICO');
-- Member municipalities (the name is the IBGE town) with their collection settings.
insert into clientes (codigo, nome, endereco, endnum, bairro, cep, contato, fones, cnpj, populacao, apac, mostrarvalor,
                      boleto, leiautorizativa, apelido, valortaxa, cobrtaxa, codconttaxa, cobrproducao, codcontprod, obs)
  values ('4314902', 'PORTO ALEGRE', 'PRACA MONTEVIDEU', '10', 'CENTRO HISTORICO', '90010-170', 'SECRETARIA DA SAUDE',
          '(51) 3289-1000', '92.963.560/0001-60', 1400000, 'S', 'S',
          'Referente aos servicos de saude prestados pelo consorcio ao municipio.', '1.234/2019', 'P. ALEGRE', 1500.00,
          'B', 'PMPA01', 'A', 'PMPA02', 'MEMBRO FUNDADOR');
insert into clientes (codigo, nome, endereco, endnum, bairro, cep, contato, fones, cnpj, populacao, apac, mostrarvalor,
                      boleto, leiautorizativa, apelido, valortaxa, cobrtaxa, codconttaxa, cobrproducao, codcontprod, obs)
  values ('4304606', 'CANOAS', 'RUA FREI ORLANDO', '199', 'CENTRO', '92010-280', 'SECRETARIA DA SAUDE',
          '(51) 3236-1999', '88.577.416/0001-18', 350000, 'S', 'N',
          'Producao de servicos de saude do mes.', '5.678/2020', 'CANOAS', 800.00, 'R', 'CAN01', 'B', 'CAN02', '');
insert into clientes (codigo, nome, cep, contato, populacao, apac, mostrarvalor, valortaxa, cobrtaxa, cobrproducao)
  values ('4318705', 'SAO LEOPOLDO', '93010-000', 'SECRETARIA DA SAUDE', 240000, 'N', 'S', 0, '', 'B');
-- Limits of the current and the next month (MM-YYYY), each built by the journal below.
insert into clilimites (codcliente, periodo, valor, obs)
  select '4314902', lpad(extract(month from d), 2, '0') || '-' || extract(year from d), 50000.00, 'LIMITE DO MES'
  from (select current_date d from rdb$database);
insert into clilimites (codcliente, periodo, valor, obs)
  select '4314902', lpad(extract(month from d), 2, '0') || '-' || extract(year from d), 45000.00, 'LIMITE PREVISTO'
  from (select dateadd(1 month to current_date) d from rdb$database);
insert into clilimites (codcliente, periodo, valor, obs)
  select '4304606', lpad(extract(month from d), 2, '0') || '-' || extract(year from d), 1200.00, 'COTA REDUZIDA'
  from (select current_date d from rdb$database);
insert into lanclimites (codcliente, periodo, datalanc, valor, obs)
  select codcliente, periodo, current_date - 20, valor + 10000, 'COTA INICIAL' from clilimites where codcliente = '4314902';
insert into lanclimites (codcliente, periodo, datalanc, valor, obs)
  select codcliente, periodo, current_date - 5, -10000, 'REDUCAO POR CONTENCAO' from clilimites where codcliente = '4314902';
insert into lanclimites (codcliente, periodo, datalanc, valor, obs)
  select codcliente, periodo, current_date - 3, valor, 'COTA DO MES' from clilimites where codcliente = '4304606';
insert into gruposproced (codigo, nome, grupocobr) values (1, 'CONSULTAS', 'CONSULTAS');
insert into gruposproced (codigo, nome, grupocobr) values (2, 'EXAMES LABORATORIAIS', 'EXAMES');
insert into gruposproced (codigo, nome, grupocobr) values (3, 'FISIOTERAPIA', 'TERAPIAS');
insert into gruposproced (codigo, nome, grupocobr) values (4, 'CONSULTAS ESPECIALIZADAS', 'CONSULTAS');
insert into gruposproced (codigo, nome, grupocobr) values (5, 'DIAGNOSTICO POR IMAGEM', 'EXAMES');
insert into procedimentos (codigo, nome, codgrupo, requerapac, quantmax, valor, valorsus, codtabsus, valorpopular)
  values (1, 'CONSULTA MEDICA EM ATENCAO ESPECIALIZADA', 1, 'N', 1, 30.00, 10.00, '0301010072', 0);
insert into procedimentos (codigo, nome, codgrupo, requerapac, quantmax, valor, valorsus, codtabsus, valorpopular)
  values (2, 'HEMOGRAMA COMPLETO', 2, 'N', 1, 12.50, 4.11, '0202020380', 0);
insert into procedimentos (codigo, nome, codgrupo, requerapac, quantmax, valor, valorsus, codtabsus, valorpopular)
  values (3, 'GLICOSE', 2, 'N', 1, 5.00, 1.85, '0202010473', 0);
insert into procedimentos (codigo, nome, codgrupo, requerapac, quantmax, valor, valorsus, codtabsus, valorpopular)
  values (4, 'ATENDIMENTO FISIOTERAPEUTICO', 3, 'N', 10, 18.00, 4.67, '0302050027', 0);
insert into procedimentos (codigo, nome, codgrupo, requerapac, cbo, quantmax, valor, valorsus, codtabsus, valorpopular, registro)
  values (5, 'CONSULTA EM CARDIOLOGIA', 4, 'N', '225120', 1, 45.00, 10.00, '0301010072', 60.00, 'I');
insert into procedimentos (codigo, nome, codgrupo, requerapac, cbo, quantmax, valor, valorsus, codtabsus, valorpopular, registro)
  values (6, 'CONSULTA EM OFTALMOLOGIA', 4, 'N', '225265', 1, 45.00, 10.00, '0301010072', 60.00, 'I');
insert into procedimentos (codigo, nome, codgrupo, requerapac, cbo, quantmax, valor, valorsus, codtabsus, valorpopular, registro)
  values (7, 'ULTRASSONOGRAFIA DE ABDOMEN TOTAL', 5, 'N', '225320', 1, 85.00, 37.95, '0205020046', 110.00, 'I');
insert into procedimentos (codigo, nome, codgrupo, requerapac, cbo, quantmax, valor, valorsus, codtabsus, valorpopular, registro)
  values (8, 'RADIOGRAFIA DE TORAX (PA E PERFIL)', 5, 'N', '225320', 2, 32.50, 9.50, '0204030153', 40.00, 'C');
insert into procedimentos (codigo, nome, codgrupo, requerapac, cbo, quantmax, valor, valorsus, codtabsus, valorpopular, registro)
  values (9, 'TOMOGRAFIA COMPUTADORIZADA DE CRANIO', 5, 'S', '225320', 1, 240.00, 97.44, '0206010079', 300.00, 'I');
insert into procedimentos (codigo, nome, codgrupo, requerapac, cbo, quantmax, valor, valorsus, codtabsus, valorpopular, registro)
  values (10, 'SESSAO DE PSICOTERAPIA', 3, 'N', '251510', 8, 40.00, 2.81, '0301080194', 50.00, 'I');
insert into procedimentos (codigo, nome, codgrupo, requerapac, cbo, quantmax, valor, valorsus, codtabsus, valorpopular, registro, dataexclusao)
  values (11, 'AUDIOMETRIA TONAL (TABELA ANTIGA)', 2, 'N', '223810', 1, 28.00, 21.00, '0211070041', 35.00, 'I', '2026-06-30');
insert into entidades (codigo, razaosocial, nomefantasia, endereco, codmun, cep, contato, cnes, fones, email, codcontabil,
                       cnpj, cpf, ie, isentoir, simplesnac, ocultarmunic, issqn, pis, cofins, csll, banco, agencia, conta,
                       infobanc, datainicontrato, datarenovcontrato, datavenccontrato, obs)
  values (1, 'CLINICA SAUDE INTEGRAL LTDA', 'CLINICA INTEGRAL', 'RUA DOS ANDRADAS, 100', '4314902', '90020-000',
          'DRA. HELENA PRADO', '2237601', '(51) 3333-0001', 'faturamento@clinicaintegral.com.br', '2110001',
          '12.345.678/0001-95', '   .   .   -  ', '096/0012345', 'N', 'N', 'N', 2.00, 0.65, 3.00, 1.00, '041', '0100',
          '06.123456.0-7', '', '2024-02-01', '2026-02-01', '2027-01-31', 'CONTRATO 014/2024, RENOVADO POR 12 MESES');
insert into entidades (codigo, razaosocial, nomefantasia, endereco, codmun, cep, contato, cnes, fones, email, codcontabil,
                       cnpj, cpf, ie, isentoir, simplesnac, ocultarmunic, issqn, pis, cofins, csll, banco, agencia, conta,
                       infobanc, datainicontrato, datarenovcontrato, datavenccontrato, obs)
  values (2, 'LABORATORIO ANALISES SUL LTDA', 'LAB SUL', 'AV IPIRANGA, 2000', '4314902', '90160-000',
          'CARLOS LIMA', '3345120', '(51) 3333-0002', 'contato@labsul.com.br', '2110002',
          '98.765.432/0001-98', '   .   .   -  ', '', 'N', 'S', 'N', 0, 0, 0, 0, '001', '3217-5', '45210-9', '',
          '2025-03-01', null, '2027-02-28', 'OPTANTE PELO SIMPLES NACIONAL');
insert into entidades (codigo, razaosocial, nomefantasia, endereco, codmun, cep, contato, cnes, fones, email, codcontabil,
                       cnpj, cpf, ie, isentoir, simplesnac, ocultarmunic, issqn, pis, cofins, csll, banco, agencia, conta,
                       infobanc, datainicontrato, datarenovcontrato, datavenccontrato, obs)
  values (3, 'HOSPITAL SAO RAFAEL DE CANOAS', 'HOSPITAL SAO RAFAEL', 'AV GUILHERME SCHELL, 3500', '4304606', '92310-000',
          'SETOR DE CONVENIOS', '2232995', '(51) 3477-9000', 'convenios@hsrafael.org.br', '2110003',
          '02.ABC.345/0001-24', '   .   .   -  ', 'ISENTO', 'S', 'N', 'N', 0, 0, 0, 0, '041', '0250', '06.778899.0-1',
          '', '2026-07-01', null, '2027-06-30', 'ENTIDADE FILANTROPICA, ISENTA DE IR, CNPJ NO FORMATO ALFANUMERICO');
insert into profissionais (codigo, nome, cpf, cartaosus, conselho, cbo) values (1, 'ANA PAULA SOUZA', '52998224725', '898000000000002', 'CRM 12345', '225125');
insert into profissionais (codigo, nome, cpf, cartaosus, conselho, cbo) values (2, 'CARLOS EDUARDO LIMA', '11144477735', '', 'CRBM 2233', '221205');
insert into profissionais (codigo, nome, cpf, cartaosus, conselho, cbo) values (3, 'MARIANA ROCHA', '39053344705', '', 'CREFITO 5566', '223605');
insert into profissionais (codigo, nome, contato, email, cpf, cartaosus, cnsbpa, conselho, cbo, obs)
  values (4, 'ROBERTO ALVES PEREIRA', '(51) 98888-1004', 'roberto.pereira@clinicaintegral.com.br', '529.982.247-25', 'X', 'X', 'CRM 23456', '225120', 'ATENDE TERCAS E QUINTAS');
insert into profissionais (codigo, nome, contato, cpf, cartaosus, cnsbpa, conselho, cbo)
  values (5, 'LUCIA HELENA MARTINS', '(51) 98888-1005', '111.444.777-35', 'X', 'X', 'CRM 34567', '225320');
insert into profissionais (codigo, nome, cpf, cartaosus, cnsbpa, conselho, cbo, dataexclusao)
  values (6, 'JOAO BATISTA NUNES', '390.533.447-05', 'X', 'X', 'CRP 4455', '251510', '2026-03-31');
insert into profissionais (codigo, nome, contato, cpf, cartaosus, cnsbpa, conselho, cbo)
  values (7, 'FERNANDA GOMES RIBEIRO', '(51) 98888-1007', '153.509.460-56', 'X', 'X', 'CRM 45678', '225320');
insert into profissionais (codigo, nome, contato, cpf, cartaosus, cnsbpa, conselho, cbo)
  values (8, 'PAULO CESAR DUARTE', '(51) 98888-1008', '714.602.380-01', 'X', 'X', 'CRM 56789', '225265');
insert into entidadesprofiss (codentidade, codprofissional) values (1, 1);
insert into entidadesprofiss (codentidade, codprofissional) values (1, 3);
insert into entidadesprofiss (codentidade, codprofissional) values (2, 2);
insert into entidadesprofiss (codentidade, codprofissional) values (1, 4);
insert into entidadesprofiss (codentidade, codprofissional) values (1, 5);
insert into entidadesprofiss (codentidade, codprofissional) values (2, 5);
insert into entidadesprofiss (codentidade, codprofissional, dataexclusao) values (1, 6, '2026-03-31');
insert into profissproced (codentidade, codprofissional, codprocedimento) values (1, 1, 1);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (1, 3, 4);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (2, 2, 2);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (2, 2, 3);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (1, 4, 5);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (1, 5, 7);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (2, 5, 8);
insert into profissproced (codentidade, codprofissional, codprocedimento, dataexclusao) values (1, 6, 10, '2026-03-31');
insert into entidadesprofiss (codentidade, codprofissional) values (3, 7);
insert into entidadesprofiss (codentidade, codprofissional) values (3, 8);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (3, 7, 7);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (3, 7, 8);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (3, 7, 9);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (3, 8, 1);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (3, 8, 6);
insert into unidades (codigo, nome) values (1, 'UBS CENTRO');
insert into unidades (codigo, nome) values (2, 'POSTO DE SAUDE VILA NOVA');
-- Limits of the current month: the whole month for each unit, and daily quotas at the post for
-- today and tomorrow.
insert into limitesunidades (codunidade, datainicial, datafinal, valor, obs)
  select 1, d, dateadd(-1 day to dateadd(1 month to d)), 15000.00, 'LIMITE MENSAL'
  from (select dateadd(1 - extract(day from current_date) day to current_date) d from rdb$database);
-- The months before and after, to choose from in Administrativo › Seleção do Calendário Atual.
insert into calendarios (datainicial, datafinal, descricao, selecao)
  select dateadd(-1 month to d), dateadd(-1 day to d), 'MÊS ANTERIOR', null
  from (select dateadd(1 - extract(day from current_date) day to current_date) d from rdb$database);
insert into calendarios (datainicial, datafinal, descricao, selecao)
  select dateadd(1 month to d), dateadd(-1 day to dateadd(2 month to d)), 'PRÓXIMO MÊS', null
  from (select dateadd(1 - extract(day from current_date) day to current_date) d from rdb$database);
insert into limitesunidades (codunidade, datainicial, datafinal, valor, obs)
  select 2, d, dateadd(-1 day to dateadd(1 month to d)), 8000.00, 'LIMITE MENSAL'
  from (select dateadd(1 - extract(day from current_date) day to current_date) d from rdb$database);
insert into limitesunidades (codunidade, datainicial, datafinal, valor, obs)
  values (2, current_date, current_date, 400.00, 'COTA DIARIA');
insert into limitesunidades (codunidade, datainicial, datafinal, valor, obs)
  values (2, current_date + 1, current_date + 1, 400.00, 'COTA DIARIA');
-- The demo clerk works at the UBS CENTRO.
update usuarios set codunidade = 1 where usuario = 'demo';
insert into motivobloqueios (codigo, descricao) values (1, 'PACIENTE DESISTIU');
insert into motivobloqueios (codigo, descricao) values (2, 'PACIENTE NAO COMPARECEU');
insert into motivobloqueios (codigo, descricao) values (3, 'PROCEDIMENTO NAO REALIZADO PELO PRESTADOR');
insert into motivobloqueios (codigo, descricao) values (4, 'AUTORIZAÇÃO EMITIDA EM DUPLICIDADE');
insert into motivobloqueios (codigo, descricao) values (5, 'DOCUMENTAÇÃO INCOMPLETA (FALTA PEDIDO MÉDICO)');
insert into motivobloqueios (codigo, descricao) values (6, 'COBRANÇA ACIMA DA QUANTIDADE D''AUTORIZADA');
-- The selected billing calendar is the current month.
insert into calendarios (datainicial, datafinal, descricao, selecao)
  select d, dateadd(-1 day to dateadd(1 month to d)), 'MÊS ATUAL', 'S'
  from (select dateadd(1 - extract(day from current_date) day to current_date) d from rdb$database);
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 1, '898000000000002', 'JOSE DA SILVA', '1960-05-10', 'M', '01', 'MARIA DA SILVA', 'DOS ANDRADAS', 500, 'CENTRO', '90020000', 81, '(51) 99999-0001');
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 2, '', 'MARIA APARECIDA SANTOS', '1985-11-02', 'F', '03', 'JOANA SANTOS', 'IPIRANGA', 1200, 'AZENHA', '90160000', 8, '(51) 99999-0002');
-- Authorizations of the month at Porto Alegre (one blocked, one at the UBS CENTRO) and one at Canoas
-- that uses almost all of its limit.
insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, codprofissional, datalanc, datamarc,
                      horamarc, codunidade, chaveimpre, usuario)
  values ('4314902', 1, 'M', 1, 1, 1, current_date, current_date + 7, '08:30', 1, '1490200001347', 'demo');
insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, quantidade, valortotal, valortotalsus)
  values ('4314902', 1, 'M', 1, 1, 30.00, 10.00);
insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, quantidade, valortotal, valortotalsus)
  values ('4314902', 1, 'M', 2, 1, 12.50, 4.11);
insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, codprofissional, datalanc, datamarc,
                      horamarc, chaveimpre, usuario)
  values ('4314902', 2, 'M', 2, 3, 7, current_date, current_date + 14, '14:00', '1490200002811', 'demo');
insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, quantidade, valortotal, valortotalsus)
  values ('4314902', 2, 'M', 9, 1, 240.00, 97.44);
insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, codprofissional, datalanc,
                      databloqueio, chaveimpre, usuario)
  values ('4314902', 3, 'M', 1, 1, 3, current_date, current_date, '1490200003095', 'demo');
insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, quantidade, valortotal, valortotalsus)
  values ('4314902', 3, 'M', 4, 10, 180.00, 46.70);
insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codentidade, codprofissional, datalanc, chaveimpre, usuario)
  values ('4304606', 1, 'M', 1, 5, current_date, '0460600001502', 'demo');
insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, quantidade, valortotal, valortotalsus)
  values ('4304606', 1, 'M', 7, 14, 1190.00, 531.30);
commit;
