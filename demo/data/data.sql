-- The demo portal's records. Customer 1 (Zahradnictví Růžička) belongs to the
-- demo account "ruzicka", customer 2 (Květinářství U Šťastných) to "stastna".
INSERT INTO customers (id, name, ico, contact, city, street, email, is_vip) VALUES
  (1,  'Zahradnictví Růžička s.r.o.',   '25613472', 'Jiří Růžička',       'Třebíč',            'Žďárská 14',          'ruzicka@example.cz',    1),
  (2,  'Květinářství U Šťastných',      '47118231', 'Dana Šťastná',       'České Budějovice',  'Lannova třída 8',     'stastna@example.cz',    0),
  (3,  'Lesní školka Žďár a.s.',        '60935412', 'Přemysl Kořínek',    'Žďár nad Sázavou',  'Strojírenská 2',      'korinek@example.cz',    1),
  (4,  'Hobby Dvořák',                  '71234598', 'Věra Dvořáková',     'Plzeň',             'Klatovská 122',       'dvorakova@example.cz',  0),
  (5,  'Zámecký park Lednice o.p.s.',   '28467311', 'Ondřej Šimůnek',     'Lednice',           'Zámecká 1',           'simunek@example.cz',    0),
  (6,  'Statek Hřebečníky',             '49823716', 'Božena Čermáková',   'Hřebečníky',        'Náves 5',             'cermakova@example.cz',  0),
  (7,  'Městské sady Ústí',             '00081531', 'Tomáš Říha',         'Ústí nad Labem',    'Velká Hradební 8',    'riha@example.cz',       1),
  (8,  'Včelařství Medůňka',            '87412365', 'Lucie Medová',       'Jihlava',           'Brněnská 47',         'medova@example.cz',     0),
  (9,  'Arboristé Šárka',               '05523187', 'Šárka Nováčková',    'Praha 6',           'Dejvická 33',         'novackova@example.cz',  0),
  (10, 'Chalupa pod Sněžkou',           '61298453', 'Ladislav Kuželka',   'Pec pod Sněžkou',   'Velká Úpa 71',        'kuzelka@example.cz',    0),
  (11, 'Zelený dvůr Kroměříž',          '26784109', 'Jitka Hájková',      'Kroměříž',          'Riegrovo náměstí 9',  'hajkova@example.cz',    0),
  (12, 'Botanická zahrada Třeboň',      '00534761', 'Řehoř Bělohlávek',   'Třeboň',            'Husova 15',           'belohlavek@example.cz', 1);

INSERT INTO products (id, code, name, category, unit, unit_price, in_stock) VALUES
  (1,  'NAR-001', 'Rýč zahradní s jasanovou násadou', 'Nářadí',       'ks',  489.00, 40),
  (2,  'NAR-002', 'Hrábě kovové 16 zubů',              'Nářadí',       'ks',  259.00, 55),
  (3,  'NAR-003', 'Nůžky zahradnické dvoučepelové',    'Nářadí',       'ks',  349.90, 80),
  (4,  'NAR-004', 'Kolečko stavební 85 l',             'Nářadí',       'ks', 1290.00, 12),
  (5,  'OSI-001', 'Semínka mrkve Nantéská',            'Osivo',        'bal',  24.50, 300),
  (6,  'OSI-002', 'Semínka hrášku Jupiter',            'Osivo',        'bal',  32.00, 250),
  (7,  'OSI-003', 'Travní směs Parková 5 kg',          'Osivo',        'bal', 899.00, 35),
  (8,  'HNO-001', 'Kravský hnůj granulovaný 10 kg',    'Hnojiva',      'bal', 219.00, 120),
  (9,  'HNO-002', 'Hnojivo na růže a květiny',         'Hnojiva',      'bal', 149.00, 90),
  (10, 'ZAV-001', 'Hadice zahradní 1/2" 25 m',           'Zavlažování',  'ks',  699.00, 30),
  (11, 'ZAV-002', 'Kropicí konev 10 l',                'Zavlažování',  'ks',  189.00, 65),
  (12, 'ZAV-003', 'Čerpadlo na dešťovou vodu',         'Zavlažování',  'ks', 3490.00, 6),
  (13, 'NAB-001', 'Lavice dřevěná Šumava',             'Nábytek',      'ks', 4590.00, 4),
  (14, 'NAB-002', 'Židle skládací Ořech',              'Nábytek',      'ks',  990.00, 18);

INSERT INTO orders (id, number, customer_id, ordered_on, state, note) VALUES
  (1,  'OBJ-2026-001', 1,  '2026-01-12', 'Odeslaná',    'Dodat před sezónou'),
  (2,  'OBJ-2026-002', 3,  '2026-01-20', 'Odeslaná',    NULL),
  (3,  'OBJ-2026-003', 2,  '2026-02-03', 'Odeslaná',    'Zavolat před doručením'),
  (4,  'OBJ-2026-004', 1,  '2026-02-17', 'Odeslaná',    NULL),
  (5,  'OBJ-2026-005', 7,  '2026-03-02', 'Odeslaná',    'Fakturovat na městský úřad'),
  (6,  'OBJ-2026-006', 5,  '2026-03-09', 'Stornovaná',  'Zákazník objednávku zrušil'),
  (7,  'OBJ-2026-007', 12, '2026-03-23', 'Odeslaná',    NULL),
  (8,  'OBJ-2026-008', 2,  '2026-04-06', 'Odeslaná',    'Květiny na Velikonoce'),
  (9,  'OBJ-2026-009', 4,  '2026-04-14', 'Odeslaná',    NULL),
  (10, 'OBJ-2026-010', 1,  '2026-05-05', 'Odeslaná',    'Čerpadlo zapojit při dodání'),
  (11, 'OBJ-2026-011', 9,  '2026-06-18', 'Vyřizuje se', NULL),
  (12, 'OBJ-2026-012', 8,  '2026-09-01', 'Vyřizuje se', 'Část zboží čeká na naskladnění'),
  (13, 'OBJ-2026-013', 2,  '2026-10-12', 'Vyřizuje se', NULL),
  (14, 'OBJ-2026-014', 11, '2026-11-20', 'Nová',        NULL),
  (15, 'OBJ-2026-015', 1,  '2026-12-01', 'Nová',        'Vánoční výzdoba – lavice do výlohy');

INSERT INTO order_lines (id, order_id, product_id, quantity, unit_price) VALUES
  (1,  1,  1,  10,  489.00), (2,  1,  2,  10,  259.00), (3,  1,  5,  50,   22.00),
  (4,  2,  7,  20,  850.00), (5,  2,  8,  40,  205.00),
  (6,  3,  9,  15,  149.00), (7,  3,  11,  6,  189.00),
  (8,  4,  3,  12,  349.90), (9,  4,  10,  5,  699.00),
  (10, 5,  13,  6, 4400.00), (11, 5,  7,  10,  899.00),
  (12, 6,  4,   2, 1290.00),
  (13, 7,  12,  2, 3490.00), (14, 7,  6,  40,   32.00),
  (15, 8,  9,  30,  140.00),
  (16, 9,  14,  8,  990.00), (17, 9,  2,   4,  259.00),
  (18, 10, 12,  1, 3490.00), (19, 10, 10,  2,  699.00),
  (20, 11, 3,   3,  349.90),
  (21, 12, 8,  25,  219.00), (22, 12, 11, 10,  189.00),
  (23, 13, 5, 100,   22.00), (24, 13, 6, 100,   30.00),
  (25, 14, 1,   5,  489.00),
  (26, 15, 13,  2, 4590.00), (27, 15, 14,  6,  990.00);

-- One invoice per dispatched order; amounts are the order lines' total with 21 % VAT.
INSERT INTO invoices (id, number, order_id, customer_id, issued_on, due_on, amount, is_paid) VALUES
  (1,  'FV-2026-0001', 1,  1,  '2026-01-15', '2026-01-29', 10381.80, 1),
  (2,  'FV-2026-0002', 2,  3,  '2026-01-23', '2026-02-06', 30492.00, 1),
  (3,  'FV-2026-0003', 3,  2,  '2026-02-05', '2026-02-19',  4076.49, 1),
  (4,  'FV-2026-0004', 4,  1,  '2026-02-20', '2026-03-06',  9309.50, 1),
  (5,  'FV-2026-0005', 5,  7,  '2026-03-05', '2026-03-19', 42821.90, 1),
  (6,  'FV-2026-0006', 7,  12, '2026-03-26', '2026-04-09', 9994.60, 1),
  (7,  'FV-2026-0007', 8,  2,  '2026-04-08', '2026-04-22',  5082.00, 0),
  (8,  'FV-2026-0008', 9,  4,  '2026-04-16', '2026-04-30', 10836.76, 1),
  (9,  'FV-2026-0009', 10, 1,  '2026-05-07', '2026-05-21',  5914.48, 0);
