-- The demo portal's database: a small wholesaler of garden goods with its
-- customers, products, orders and invoices. Dates are ISO texts (YYYY-MM-DD),
-- amounts are in CZK. Names and codes are VARCHAR, so that lists can be
-- sorted by them; free notes are TEXT.
PRAGMA foreign_keys = ON;

CREATE TABLE customers (              -- zákazníci
  id          INTEGER PRIMARY KEY,
  name        VARCHAR(80) NOT NULL,       -- company name
  ico         VARCHAR(12) NOT NULL UNIQUE,-- company registration number
  contact     VARCHAR(60) NOT NULL,       -- contact person
  city        VARCHAR(60) NOT NULL,
  street      VARCHAR(80) NOT NULL,
  email       VARCHAR(80) NOT NULL,
  is_vip      INTEGER NOT NULL DEFAULT 0 CHECK (is_vip IN (0, 1))
);

CREATE TABLE products (               -- zboží
  id          INTEGER PRIMARY KEY,
  code        VARCHAR(20) NOT NULL UNIQUE,
  name        VARCHAR(80) NOT NULL,
  category    VARCHAR(40) NOT NULL,       -- Nářadí, Osivo, Hnojiva, Zavlažování, Nábytek
  unit        VARCHAR(10) NOT NULL,       -- ks, bal, kg
  unit_price  NUMERIC NOT NULL CHECK (unit_price >= 0),
  in_stock    INTEGER NOT NULL DEFAULT 0,
  picture     LONGVARBINARY               -- JPEG, GIF or bitmap (scripts/build-demo-site); the
                                          -- driver reports this type as a long binary field
);

CREATE TABLE orders (                 -- objednávky
  id          INTEGER PRIMARY KEY,
  number      VARCHAR(20) NOT NULL UNIQUE,
  customer_id INTEGER NOT NULL REFERENCES customers(id),
  ordered_on  DATE    NOT NULL,
  state       VARCHAR(20) NOT NULL CHECK (state IN ('Nová', 'Vyřizuje se', 'Odeslaná', 'Stornovaná')),
  note        TEXT
);

CREATE TABLE order_lines (            -- položky objednávek
  id          INTEGER PRIMARY KEY,
  order_id    INTEGER NOT NULL REFERENCES orders(id),
  product_id  INTEGER NOT NULL REFERENCES products(id),
  quantity    INTEGER NOT NULL CHECK (quantity > 0),
  unit_price  NUMERIC NOT NULL,       -- the price agreed on the order
  UNIQUE (order_id, product_id)
);

CREATE TABLE invoices (               -- faktury
  id          INTEGER PRIMARY KEY,
  number      VARCHAR(20) NOT NULL UNIQUE,
  order_id    INTEGER NOT NULL REFERENCES orders(id),
  customer_id INTEGER NOT NULL REFERENCES customers(id),
  issued_on   DATE    NOT NULL,
  due_on      DATE    NOT NULL,
  amount      NUMERIC NOT NULL,       -- total with VAT
  is_paid     INTEGER NOT NULL DEFAULT 0 CHECK (is_paid IN (0, 1))
);

-- Notes written by the note plug-in's record action (plugins/).
CREATE TABLE record_notes (           -- poznámky k záznamům
  item_id     VARCHAR(38),
  record_id   VARCHAR(100),
  author      VARCHAR(100),
  note        VARCHAR(2000)
);

CREATE INDEX orders_by_customer ON orders(customer_id);
CREATE INDEX invoices_by_customer ON invoices(customer_id);
CREATE INDEX order_lines_by_order ON order_lines(order_id);
