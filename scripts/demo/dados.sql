-- Sample data of the demo installation (a municipality of a CUNE consortium).
insert into usuarios (usuario, senha, podefaturar) values ('demo', 'demo123', 'S');
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
insert into cbo (codigo, descricao) values ('225250', 'MEDICO GINECOLOGISTA E OBSTETRA');
insert into cbo (codigo, descricao) values ('223605', 'FISIOTERAPEUTA GERAL');
insert into cbo (codigo, descricao) values ('221205', 'BIOMEDICO');
insert into clientes (codigo, nome, contato, populacao, cep, apac, cobrtaxa, mostrarvalor)
  values ('4314902', 'PREFEITURA MUNICIPAL DE PORTO ALEGRE', 'SECRETARIA DA SAUDE', 1400000, '90010000', 'N', 'N', 'S');
insert into clientes (codigo, nome, contato, populacao, cep, apac, cobrtaxa, mostrarvalor)
  values ('4304606', 'PREFEITURA MUNICIPAL DE CANOAS', 'SECRETARIA DA SAUDE', 350000, '92010000', 'N', 'N', 'S');
insert into clilimites (codcliente, periodo, valor, obs) values ('4314902', '12-2026', 50000.00, 'LIMITE DEMO');
insert into clilimites (codcliente, periodo, valor, obs) values ('4314902', '01-2027', 50000.00, 'LIMITE DEMO');
insert into gruposproced (codigo, nome, grupocobr) values (1, 'CONSULTAS', 'CONSULTAS');
insert into gruposproced (codigo, nome, grupocobr) values (2, 'EXAMES LABORATORIAIS', 'EXAMES');
insert into gruposproced (codigo, nome, grupocobr) values (3, 'FISIOTERAPIA', 'TERAPIAS');
insert into procedimentos (codigo, nome, codgrupo, requerapac, quantmax, valor, valorsus, codtabsus, valorpopular)
  values (1, 'CONSULTA MEDICA EM ATENCAO ESPECIALIZADA', 1, 'N', 1, 30.00, 10.00, '0301010072', 0);
insert into procedimentos (codigo, nome, codgrupo, requerapac, quantmax, valor, valorsus, codtabsus, valorpopular)
  values (2, 'HEMOGRAMA COMPLETO', 2, 'N', 1, 12.50, 4.11, '0202020380', 0);
insert into procedimentos (codigo, nome, codgrupo, requerapac, quantmax, valor, valorsus, codtabsus, valorpopular)
  values (3, 'GLICOSE', 2, 'N', 1, 5.00, 1.85, '0202010473', 0);
insert into procedimentos (codigo, nome, codgrupo, requerapac, quantmax, valor, valorsus, codtabsus, valorpopular)
  values (4, 'ATENDIMENTO FISIOTERAPEUTICO', 3, 'N', 10, 18.00, 4.67, '0302050027', 0);
insert into entidades (codigo, razaosocial, nomefantasia, endereco, codmun, cep, fones, cnpj, isentoir, simplesnac,
                       ocultarmunic, issqn, pis, cofins, csll)
  values (1, 'CLINICA SAUDE INTEGRAL LTDA', 'CLINICA INTEGRAL', 'RUA DOS ANDRADAS, 100', '4314902', '90020000',
          '(51) 3333-0001', '12345678000195', 'N', 'N', 'N', 0, 0, 0, 0);
insert into entidades (codigo, razaosocial, nomefantasia, endereco, codmun, cep, fones, cnpj, isentoir, simplesnac,
                       ocultarmunic, issqn, pis, cofins, csll)
  values (2, 'LABORATORIO ANALISES SUL LTDA', 'LAB SUL', 'AV IPIRANGA, 2000', '4314902', '90160000',
          '(51) 3333-0002', '98765432000110', 'N', 'S', 'N', 0, 0, 0, 0);
insert into profissionais (codigo, nome, cpf, cartaosus, conselho, cbo) values (1, 'ANA PAULA SOUZA', '52998224725', '898000000000002', 'CRM 12345', '225125');
insert into profissionais (codigo, nome, cpf, cartaosus, conselho, cbo) values (2, 'CARLOS EDUARDO LIMA', '11144477735', '', 'CRBM 2233', '221205');
insert into profissionais (codigo, nome, cpf, cartaosus, conselho, cbo) values (3, 'MARIANA ROCHA', '39053344705', '', 'CREFITO 5566', '223605');
insert into entidadesprofiss (codentidade, codprofissional) values (1, 1);
insert into entidadesprofiss (codentidade, codprofissional) values (1, 3);
insert into entidadesprofiss (codentidade, codprofissional) values (2, 2);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (1, 1, 1);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (1, 3, 4);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (2, 2, 2);
insert into profissproced (codentidade, codprofissional, codprocedimento) values (2, 2, 3);
insert into unidades (codigo, nome) values (1, 'UBS CENTRO');
insert into motivobloqueios (codigo, descricao) values (1, 'PACIENTE DESISTIU');
insert into calendarios (datainicial, datafinal, descricao, selecao) values ('2026-11-21', '2026-12-20', 'DEZEMBRO/2026', 'S');
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 1, '898000000000002', 'JOSE DA SILVA', '1960-05-10', 'M', '01', 'MARIA DA SILVA', 'DOS ANDRADAS', 500, 'CENTRO', '90020000', 81, '(51) 99999-0001');
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 2, '', 'MARIA APARECIDA SANTOS', '1985-11-02', 'F', '03', 'JOANA SANTOS', 'IPIRANGA', 1200, 'AZENHA', '90160000', 8, '(51) 99999-0002');
commit;
