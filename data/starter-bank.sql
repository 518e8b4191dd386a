-- A small starter bank so the program can be tried.
INSERT INTO Categories ("Index", CatName) VALUES (1, 'Network Fundamentals'), (2, 'IP Addressing');

INSERT INTO Questions (QId, QName, DiffLevel, QType, CatInd, ExhibitPath, Expln) VALUES
(1, 'Which layer of the OSI model decides the path a packet takes between networks?', 'B', 'S', 1, 'NA',
 'The network layer (layer 3) chooses paths between networks; routers work at this layer.'),
(2, 'How many usable host addresses does a /27 IPv4 subnet provide?', 'B', 'S', 2, 'NA',
 'A /27 leaves 5 host bits: 2^5 = 32 addresses, minus the network and broadcast addresses = 30.'),
(3, 'Which two of these protocols carry their data over TCP? (Choose two.)', 'I', 'M', 1, 'NA',
 'HTTP and SSH need reliable, ordered delivery and use TCP. TFTP and SNMP use UDP.'),
(4, 'Match each address to its class of use.', 'I', 'D', 2, 'NA',
 '10.0.0.0/8 is private, 127.0.0.1 is the loopback, 224.0.0.5 is multicast.'),
(5, 'Give interface GigabitEthernet0/0 of router R1 the address 192.168.10.1/24 and enable it.', 'E', 'SIM', 2, 'NA',
 'From privileged mode enter global configuration, select the interface, set the address and bring the interface up with no shutdown.'),
(6, 'What is the broadcast address of the subnet 172.16.8.0/22?', 'I', 'S', 2, 'NA',
 'A /22 spans four /24 blocks: 172.16.8.0 to 172.16.11.255, so the broadcast is 172.16.11.255.'),
(7, 'Which device keeps a table of MAC addresses to forward frames only to the right port?', 'B', 'S', 1, 'NA',
 'A switch learns source MAC addresses per port and forwards each frame to the port of its destination.'),
(8, 'Which two addresses are valid IPv4 host addresses in 192.168.1.0/25? (Choose two.)', 'E', 'M', 2, 'NA',
 'The /25 covers 192.168.1.0 to 192.168.1.127; .0 is the network and .127 the broadcast, so .1 and .126 are hosts.');

INSERT INTO Answers ("Index", QId, Answer, CorrectAns) VALUES
(1, 1, 'Physical layer', 0), (2, 1, 'Data link layer', 0), (3, 1, 'Network layer', 1), (4, 1, 'Transport layer', 0),
(5, 2, '30', 1), (6, 2, '32', 0), (7, 2, '62', 0), (8, 2, '14', 0),
(9, 3, 'HTTP', 1), (10, 3, 'TFTP', 0), (11, 3, 'SSH', 1), (12, 3, 'SNMP', 0),
(13, 6, '172.16.8.255', 0), (14, 6, '172.16.11.255', 1), (15, 6, '172.16.12.255', 0), (16, 6, '172.16.15.255', 0),
(17, 7, 'Hub', 0), (18, 7, 'Switch', 1), (19, 7, 'Repeater', 0), (20, 7, 'Modem', 0),
(21, 8, '192.168.1.0', 0), (22, 8, '192.168.1.1', 1), (23, 8, '192.168.1.126', 1), (24, 8, '192.168.1.127', 0);

INSERT INTO DragNDrop ("Index", QId, Question, Answer, AnsSel, AnsRand) VALUES
(1, 4, '10.0.0.0/8', 'Private', 0, 0),
(2, 4, '127.0.0.1', 'Loopback', 0, 0),
(3, 4, '224.0.0.5', 'Multicast', 0, 0);

INSERT INTO SimCommands ("Index", QId, Command, CmdPmt, ResPmt, Response, DevName, CmdTyped) VALUES
(1, 5, 'configure terminal', '#', '(config)#', 'Enter configuration commands, one per line.  End with CNTL/Z.', 'R1', 0),
(2, 5, 'interface gigabitethernet0/0', '(config)#', '(config-if)#', 'NA', 'R1', 0),
(3, 5, 'ip address <ip> <mask>', '(config-if)#', '(config-if)#', 'NA', 'R1', 0),
(4, 5, 'no shutdown', '(config-if)#', '(config-if)#', '%LINK-5-CHANGED: Interface GigabitEthernet0/0, changed state to up', 'R1', 0);

INSERT INTO SimCmdValues (CmdInd, CmdVal) VALUES (3, '192.168.10.1'), (3, '255.255.255.0');
