-- Patients registered twice, for Utilitários › Unificar Cadastros Duplicados: 4 repeats 2 exactly
-- (the run over the register merges them); 3 is 1 typed with accents and 6 shares 5's card (the
-- list of likely duplicates proposes them).
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 3, '', 'JOSÉ DA SILVA', '1960-05-10', 'M', '01', 'MARIA DA SILVA', '', 0, '', '', null, '(51) 3333-1001');
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 4, '', 'MARIA APARECIDA SANTOS', '1985-11-02', 'F', '03', 'JOANA SANTOS', 'IPIRANGA', 1200, 'AZENHA', '90160000', 8, '');
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 5, '700501234567893', 'ANTONIO CARLOS PEREIRA', '1972-03-15', 'M', '99', 'TEREZA PEREIRA', 'BENTO GONCALVES', 3300, 'PARTENON', '90650000', 8, '(51) 98888-1234');
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 6, '700501234567893', 'ANTONIO C. PEREIRA', null, 'M', '99', '', '', 0, '', '', null, '');
-- Names written with accents, apostrophes and hyphens: the patient search finds them typed without
-- accents ("conceic", "davila" does not but "d'avila" does, "ana-lucia").
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 7, '', 'MARIA DA CONCEIÇÃO', '1958-12-08', 'F', '02', 'CONCEIÇÃO FERREIRA', '', 0, '', '', null, '');
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 8, '', 'JOÃO D''ÁVILA NETO', '1990-07-21', 'M', '01', 'LÚCIA D''ÁVILA', '', 0, '', '', null, '');
insert into pessoas (cli_origem, codigo, cartaosus, nome, datanasc, sexo, raca, nomemae, endereco, endnum, bairro, cep, codtipolograd, fones)
  values ('4314902', 9, '', 'ANA-LÚCIA GONÇALVES', '2001-03-30', 'F', '01', 'SÔNIA GONÇALVES', '', 0, '', '', null, '');
insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, codprofissional, datalanc, datamarc,
                      horamarc, chaveimpre, usuario)
  values ('4314902', 4, 'M', 3, 1, 1, current_date - 20, current_date - 10, '09:00', '1490200004113', 'demo');
insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, quantidade, valortotal, valortotalsus)
  values ('4314902', 4, 'M', 1, 1, 30.00, 10.00);
insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, codprofissional, datalanc, datamarc,
                      horamarc, chaveimpre, usuario)
  values ('4314902', 5, 'M', 6, 1, 1, current_date - 5, current_date + 3, '10:30', '1490200005224', 'demo');
insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, quantidade, valortotal, valortotalsus)
  values ('4314902', 5, 'M', 1, 1, 30.00, 10.00);
commit;
