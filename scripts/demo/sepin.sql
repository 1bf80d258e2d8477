-- A small register in the SEPIN system's layout (only the columns the import reads), for
-- Utilitários › Importação SEPIN. The first patient is already registered here (same card).
create database '@BANCO@' default character set WIN1252;
create table pessoas (codigo integer not null primary key, cartaosus varchar(20), dtnascimento date, nome varchar(80),
                      fone varchar(60), sexo varchar(10), raca varchar(10), nomemae varchar(80), endereco varchar(120));
insert into pessoas values (101, '898000000000002', '1960-05-10', 'JOSE DA SILVA', '(51) 99999-0001', 'M', '01', 'MARIA DA SILVA', 'AV. DOS ANDRADAS, 500 - CENTRO');
insert into pessoas values (102, '', '1991-07-21', '*LUÍSA FERNANDES*', '(51) 98123-4567', 'F', '02', 'CÉLIA FERNANDES', 'RUA JOÃO ALFREDO, 77 - CIDADE BAIXA');
insert into pessoas values (103, '700801234560005', '2015-01-30', 'PEDRO HENRIQUE COSTA', '', 'M', '03', 'ANA COSTA', 'RUA DA REPÚBLICA, 12 - CIDADE BAIXA');
insert into pessoas values (104, 'X', null, 'SEM DATA DE NASCIMENTO', '', 'F', '99', '', '');
commit;
